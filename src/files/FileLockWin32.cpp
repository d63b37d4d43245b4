#include <windows.h>

#include <utility>

#include "FileLock.h"

namespace rvm {

namespace {
bool widen(const std::string& s, std::wstring& w) {
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0 && !s.empty()) return false;
    w.assign(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), w.data(), n);
    return true;
}
}  // namespace

bool FileLock::tryLock(const std::string& path) {
    release();
    std::wstring wpath;
    if (!widen(path, wpath)) return false;
    // Opened with no sharing at all: while this handle is open no other
    // process opens the file, which is the lock.
    HANDLE h = CreateFileW(wpath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = reinterpret_cast<std::intptr_t>(h);
    return true;
}

void FileLock::release() {
    if (handle_ == -1) return;
    CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle_, -1)));
}

}  // namespace rvm
