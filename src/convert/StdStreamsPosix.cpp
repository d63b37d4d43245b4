#include "StdStreams.h"

#include <unistd.h>

#include <cerrno>

#include "files/FileIo.h"

namespace rvm {

bool ReadStandardInput(std::string& bytes, std::string& error) {
    bytes.clear();
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            error = DescribeErrno(errno);
            return false;
        }
        bytes.append(buf, static_cast<std::size_t>(n));
    }
}

bool WriteStandardOutput(const std::string& bytes, std::string& error) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(STDOUT_FILENO, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = DescribeErrno(errno);
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

}  // namespace rvm
