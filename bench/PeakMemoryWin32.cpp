#include <windows.h>
#include <psapi.h>

#include "PeakMemory.h"

namespace rvm::bench {

long PeakMemoryKb() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return 0;
    return static_cast<long>(pmc.PeakWorkingSetSize / 1024);
}

namespace {
std::wstring wide(const std::string& utf8) {
    std::wstring w(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                                static_cast<int>(utf8.size()), nullptr, 0)),
                   L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(),
                        static_cast<int>(w.size()));
    return w;
}
}  // namespace

bool RunThisProgram(const std::vector<std::string>& args) {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (n == 0 || n == MAX_PATH) return false;
    // Each argument quoted; the benchmark's paths hold no quotes.
    std::wstring line = L"\"" + std::wstring(self, n) + L"\"";
    for (const auto& a : args) line += L" \"" + wide(a) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code == 0;
}

}  // namespace rvm::bench
