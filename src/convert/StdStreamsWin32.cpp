#include "StdStreams.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>

#include "files/FileIo.h"

namespace rvm {

// The C runtime opens the standard streams in text mode, which would turn
// every LF written into CR LF and drop CRs read.
bool ReadStandardInput(std::string& bytes, std::string& error) {
    bytes.clear();
    _setmode(_fileno(stdin), _O_BINARY);
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0) bytes.append(buf, n);
    if (std::ferror(stdin)) {
        error = DescribeErrno(errno);
        return false;
    }
    return true;
}

bool WriteStandardOutput(const std::string& bytes, std::string& error) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
        error = DescribeErrno(errno);
        return false;
    }
    return true;
}

// argv holds the ANSI code page, which cannot name every Japanese file; the
// wide command line can. Messages go out in UTF-8, so the console reads them so.
std::vector<std::string> Arguments(int, char**) {
    ::SetConsoleOutputCP(CP_UTF8);
    int n = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    std::vector<std::string> args;
    for (int i = 1; wide && i < n; ++i) {
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string a(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, a.data(), size, nullptr, nullptr);
        a.resize(a.size() - 1);
        args.push_back(std::move(a));
    }
    ::LocalFree(wide);
    return args;
}

}  // namespace rvm
