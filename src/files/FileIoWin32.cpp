#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>

#include "FileIo.h"
#include "FileIoDetail.h"

namespace rvm {
namespace {

// Paths are UTF-8 in the program and UTF-16 at the system boundary, so
// Japanese folder names work whatever the system's code page is.
bool widen(const std::string& s, std::wstring& w) {
    w.clear();
    if (s.empty()) return true;
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()),
                                nullptr, 0);
    if (n <= 0) return false;
    w.resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), w.data(), n);
    return true;
}

// A path as every call takes it: whole, since ReplaceFileW fails on a
// relative one or one rooted at "/" under Wine ("Directory name invalid"),
// and in the "\\?\" form when it is long, leaving room for the name of
// the temporary file beside it.
bool systemPath(const std::string& s, std::wstring& w) {
    if (!widen(s, w)) return false;
    if (w.empty() || w.starts_with(L"\\\\?\\") || w.starts_with(L"\\\\.\\")) return true;
    std::wstring full(GetFullPathNameW(w.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD n = full.empty() ? 0 : GetFullPathNameW(w.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) return true;  // the call that uses it tells what is wrong
    full.resize(n);
    if (full.size() > MAX_PATH - 64) {
        if (full.starts_with(L"\\\\"))
            full.replace(0, 2, L"\\\\?\\UNC\\");  // \\server\share\...
        else
            full.insert(0, L"\\\\?\\");
    }
    w = std::move(full);
    return true;
}

std::string narrow(const wchar_t* w, std::size_t len) {
    if (len == 0) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(len), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(len), s.data(), n, nullptr, nullptr);
    return s;
}

// "Not a regular file" (a pipe, a device) and "a folder" have no code of
// their own here; bit 29 marks a code as the program's.
constexpr DWORD kNotAFile = 0x20000001, kFolder = 0x20000002;

std::optional<detail::Fault> faultOf(DWORD err) {
    using detail::Fault;
    switch (err) {
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: return Fault::NotFound;
    case ERROR_ACCESS_DENIED: return Fault::Denied;
    case kFolder: return Fault::Folder;
    case kNotAFile: return Fault::NotAFile;
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: return Fault::DiskFull;
    case ERROR_WRITE_PROTECT: return Fault::ReadOnlyDisk;
    case ERROR_FILE_TOO_LARGE: return Fault::TooLarge;
    case ERROR_CRC: case ERROR_IO_DEVICE: case ERROR_READ_FAULT: case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE: case ERROR_SECTOR_NOT_FOUND: return Fault::Broken;
    case ERROR_DIRECTORY: return Fault::NotAFolder;
    case ERROR_INVALID_NAME: case ERROR_BAD_PATHNAME: return Fault::BadName;
    case ERROR_FILENAME_EXCED_RANGE: return Fault::NameTooLong;
    case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION: case ERROR_USER_MAPPED_FILE: return Fault::InUse;
    case ERROR_NOT_READY: return Fault::NotReady;
    default: return std::nullopt;
    }
}

// The errors users meet in the program's words, the others in the system's
// own text, in the system's language.
std::string describe(DWORD err) {
    if (auto fault = faultOf(err)) return detail::FaultWords(*fault);
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, err, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string s;
    if (n > 0 && text) {
        while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' ')) --n;
        s = narrow(text, n);
    }
    if (text) LocalFree(text);
    if (s.empty()) s = "Windows error " + std::to_string(err);
    return s;
}

std::wstring folderOf(const std::wstring& path) {
    auto sep = path.find_last_of(L"\\/");
    if (sep == std::wstring::npos) {
        if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);  // "C:name"
        return L".";
    }
    // Keep the separator of a root: "C:\", "\".
    if (sep == 0 || (sep == 2 && path[1] == L':')) return path.substr(0, sep + 1);
    return path.substr(0, sep);
}

bool isFolder(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool close() {
        if (!ok()) return true;
        BOOL r = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return r != 0;
    }

private:
    HANDLE h_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE openForReading(const std::wstring& path, bool followLinks = true) {
    return CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN |
                           (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
                       nullptr);
}

bool isLink(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A file the user points at through a link is the one replaced, not the link.
std::wstring finalPath(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
    Handle h(CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.ok()) return path;
    std::wstring out(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetFinalPathNameByHandleW(h.get(), out.data(), static_cast<DWORD>(out.size()),
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return path;
        if (n < out.size()) {
            out.resize(n);
            return out;
        }
        out.resize(n + 1);
    }
}

// 0 or the error of the first failure.
DWORD writeAll(HANDLE h, const std::string& bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        DWORD put = 0;
        if (!WriteFile(h, p, static_cast<DWORD>(std::min<std::size_t>(left, 1u << 30)), &put, nullptr))
            return GetLastError();
        p += put;
        left -= put;
    }
    return 0;
}

DWORD flush(HANDLE h) { return FlushFileBuffers(h) ? 0 : GetLastError(); }

const wchar_t* const kTempPrefix = L".rvm-save-";

std::wstring inFolder(const std::wstring& folder, const std::wstring& name) {
    const wchar_t last = folder.back();
    return folder + (last == L'\\' || last == L'/' || last == L':' ? L"" : L"\\") + name;
}

// Temporary names carry the saving process's id: one that died between
// keeping its file and replacing the target leaves it to the next save.
void removeLeftovers(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(inFolder(folder, std::wstring(kTempPrefix) + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const wchar_t* digits = found.cFileName + std::wcslen(kTempPrefix);
        wchar_t* end = nullptr;
        const unsigned long pid = std::wcstoul(digits, &end, 10);
        if (end == digits || *end != L'-' || pid == GetCurrentProcessId()) continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        if (process) {
            CloseHandle(process);
        } else if (GetLastError() == ERROR_INVALID_PARAMETER) {  // no such process
            DeleteFileW(inFolder(folder, found.cFileName).c_str());
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

// A new file in folder that the system deletes when its handle closes, so
// a crash before it has taken the target's place leaves nothing behind.
HANDLE createTemporary(const std::wstring& folder, std::wstring& name, DWORD& err) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = inFolder(folder, kTempPrefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++));
        HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            FILE_DISPOSITION_INFO gone{TRUE};
            SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone);
            err = 0;
            return h;
        }
        err = GetLastError();
        if (err != ERROR_FILE_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}

bool keepOnClose(HANDLE h) {
    FILE_DISPOSITION_INFO keep{FALSE};
    return SetFileInformationByHandle(h, FileDispositionInfo, &keep, sizeof keep) != 0;
}

// Takes the disk space before the first byte changes, so a full disk fails
// the save before anything changed. Only ever more: less would cut the file.
DWORD takeRoom(HANDLE h, std::uint64_t size) {
    FILE_STANDARD_INFO now{};
    if (!GetFileInformationByHandleEx(h, FileStandardInfo, &now, sizeof now)) return GetLastError();
    if (static_cast<std::uint64_t>(now.AllocationSize.QuadPart) >= size) return 0;
    FILE_ALLOCATION_INFO room{};
    room.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
    if (SetFileInformationByHandle(h, FileAllocationInfo, &room, sizeof room)) return 0;
    // Where the file system cannot reserve, the write itself finds out.
    const DWORD err = GetLastError();
    return err == ERROR_INVALID_PARAMETER || err == ERROR_NOT_SUPPORTED || err == ERROR_INVALID_FUNCTION ? 0 : err;
}

// The new content over the old through the file's own handle, from the
// start, cut to its length and on disk.
DWORD overwrite(HANDLE h, const std::string& bytes) {
    if (!SetFilePointerEx(h, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return GetLastError();
    if (DWORD err = writeAll(h, bytes)) return err;
    return SetEndOfFile(h) ? flush(h) : GetLastError();
}

// For a folder that takes no new file. The old content waits in the user's
// data folder until the new one is on disk, and is written back after a
// failure; without that copy the save is refused (why says so).
DWORD rewriteInPlace(const std::wstring& path, const std::string& bytes, std::string& why) {
    Handle h(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.ok()) return GetLastError();
    detail::SaveBackup backup;
    if (!backup.keep(narrow(path.data(), path.size()), bytes, why)) return ERROR_ACCESS_DENIED;
    DWORD err = takeRoom(h.get(), bytes.size());
    if (err) return backup.settle(false), err;  // nothing changed
    err = overwrite(h.get(), bytes);
    if (!err || overwrite(h.get(), backup.before()) == 0)
        backup.settle(!err);
    else
        why = describe(err) + "\r" + backup.keptAt();
    if (!h.close() && !err) err = GetLastError();
    return err;
}

// 0, or an error with why set when the code alone would not tell the user.
DWORD writeFile(const std::string& given, const std::string& bytes, bool inPlace, std::string& why) {
    std::wstring wpath;
    if (!systemPath(given, wpath)) return ERROR_NO_UNICODE_TRANSLATION;
    // The program's own files replace a link rather than follow it.
    const std::wstring path = inPlace ? finalPath(wpath) : wpath;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES && (inPlace || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT));
    if (isFolder(path)) return kFolder;
    if (exists) {
        // Replacing needs the right to delete the old file, which a program
        // holding it open may deny; a read-only or locked file or a device
        // must refuse the save before anything is written.
        Handle probe(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, kShareAll, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe.ok()) return GetLastError();
        if (GetFileType(probe.get()) != FILE_TYPE_DISK) return kNotAFile;
    }
    removeLeftovers(folderOf(path));
    std::wstring tmp;
    DWORD err = 0;
    Handle out(createTemporary(folderOf(path), tmp, err));
    // A folder that takes no new file (beside the program, say) still lets
    // us rewrite a file we may write.
    if (err == ERROR_ACCESS_DENIED && exists && inPlace) return rewriteInPlace(path, bytes, why);
    if (err) return err;
    err = writeAll(out.get(), bytes);
    if (!err) err = flush(out.get());
    if (!err && !keepOnClose(out.get())) err = GetLastError();
    if (!out.close() && !err) err = GetLastError();
    // ReplaceFileW keeps the old file's attributes, security and creation
    // time; a new file needs none of that.
    if (!err && exists &&
        !ReplaceFileW(path.c_str(), tmp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        err = GetLastError();
    if (!err && !exists &&
        !MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        err = GetLastError();
    if (err) DeleteFileW(tmp.c_str());
    if (!err && inPlace) detail::ForgetSaveBackup(narrow(path.data(), path.size()));
    return err;
}

bool writeWith(const std::string& path, const std::string& bytes, bool inPlace, std::string& error) {
    std::string why;
    const DWORD err = writeFile(path, bytes, inPlace, why);
    if (err) error = why.empty() ? describe(err) : why;
    return err == 0;
}

}  // namespace

FileReader::~FileReader() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

ReadStatus FileReader::open(const std::string& path, bool followLinks, std::string& error) {
    std::wstring wpath;
    if (!systemPath(path, wpath)) {
        error = describe(ERROR_NO_UNICODE_TRANSLATION);
        return ReadStatus::Error;
    }
    HANDLE h = openForReading(wpath, followLinks);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND && isFolder(folderOf(wpath))) return ReadStatus::NotFound;
        error = describe(isFolder(wpath) ? kFolder : err);
        return ReadStatus::Error;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    // Pipes and devices (CON, COM1) could block or never end.
    if (GetFileType(h) != FILE_TYPE_DISK || (!followLinks && isLink(h))) {
        error = describe(kNotAFile);
        return ReadStatus::Error;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size)) {
        error = describe(GetLastError());
        return ReadStatus::Error;
    }
    size_ = static_cast<std::uint64_t>(size.QuadPart);
    return size_ > kMaxReadBytes ? ReadStatus::TooLarge : ReadStatus::Ok;
}

ReadStatus FileReader::read(char* dst, std::size_t room, std::size_t& got, std::string& error) {
    got = 0;
    DWORD n = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), dst,
                  static_cast<DWORD>(std::min<std::size_t>(room, 1u << 30)), &n, nullptr)) {
        error = describe(GetLastError());
        return ReadStatus::Error;
    }
    got = n;
    done_ += got;
    return done_ > kMaxReadBytes ? ReadStatus::TooLarge : ReadStatus::Ok;
}

ReadStatus FileReader::seek(std::uint64_t offset, std::string& error) {
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(reinterpret_cast<HANDLE>(handle_), to, nullptr, FILE_BEGIN)) {
        error = describe(GetLastError());
        return ReadStatus::Error;
    }
    return ReadStatus::Ok;
}

bool FileOpensForReading(const std::string& path) {
    std::wstring wpath;
    if (!systemPath(path, wpath) || isFolder(wpath)) return false;
    Handle h(openForReading(wpath));
    return h.ok() && GetFileType(h.get()) == FILE_TYPE_DISK;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string& error) {
    return writeWith(path, bytes, true, error);
}

bool AppendToFile(const std::string& path, const std::string& bytes, std::string& error) {
    std::wstring wpath;
    DWORD err = systemPath(path, wpath) ? 0 : ERROR_NO_UNICODE_TRANSLATION;
    // FILE_APPEND_DATA alone: every write lands at the end, as with O_APPEND.
    Handle h(err ? INVALID_HANDLE_VALUE
                 : CreateFileW(wpath.c_str(), FILE_APPEND_DATA, kShareAll, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!err) err = !h.ok() ? GetLastError()
                    : GetFileType(h.get()) != FILE_TYPE_DISK || isLink(h.get()) ? ERROR_NOT_SUPPORTED
                                                                                : writeAll(h.get(), bytes);
    // On disk before it returns, as the log's readers are promised.
    if (!err) err = flush(h.get());
    if (!h.close() && !err) err = GetLastError();
    if (err) error = describe(err);
    return err == 0;
}

std::string DescribeErrno(int err) {
    if (auto fault = detail::FaultOfErrno(err)) return detail::FaultWords(*fault);
    return std::strerror(err);
}

bool WriteOwnFile(const std::string& path, const std::string& bytes, std::string& error) {
    return writeWith(path, bytes, false, error);
}

namespace detail {

std::string UserDataFolder() {
    wchar_t local[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
    return n > 0 && n < MAX_PATH ? narrow(local, n) + "\\ravolin-memorel" : "";
}

}  // namespace detail

std::string ProgramDirectory() {
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0) return ".";
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    const std::wstring dir = folderOf(exe);
    return narrow(dir.data(), dir.size());
}

}  // namespace rvm
