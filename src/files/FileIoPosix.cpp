#include "FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace rvm {
namespace {

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string describe(int err) { return std::strerror(err); }

}  // namespace

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        struct stat st {};
        if (err == ENOENT && ::stat(folderOf(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return ReadStatus::NotFound;
        error = describe(err);
        return ReadStatus::Error;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        error = describe(EISDIR);
        return ReadStatus::Error;
    }
    if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            error = describe(errno);
            ::close(fd);
            bytes.clear();
            return ReadStatus::Error;
        }
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadStatus::Ok;
}

bool FileOpensForReading(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool WriteFileAtomic(const std::string& given, const std::string& bytes, std::string& error) {
    // Through a link, the file it points to is the one replaced.
    std::string path = given;
    if (char* real = ::realpath(given.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    std::string tmp = folderOf(path) + "/.rvm-save-XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        error = describe(errno);
        return false;
    }
    // Keep the permissions of the file being replaced; a new file gets the
    // usual ones for the user's umask.
    struct stat st {};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int err = 0;
    if (::fchmod(fd, mode) != 0) err = errno;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (!err && left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (!err && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(tmp.c_str(), path.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(tmp.c_str());
        error = describe(err);
        return false;
    }
    return true;
}

std::string ProgramDirectory() {
    std::string exe(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= exe.size()) return ".";
    exe.resize(static_cast<std::size_t>(n));
    return folderOf(exe);
}

}  // namespace rvm
