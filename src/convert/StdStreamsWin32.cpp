#include "StdStreams.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool WriteStandardOutput(const std::string& bytes, std::string& error) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace rvm
