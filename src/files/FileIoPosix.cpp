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

FileReader::~FileReader() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

ReadStatus FileReader::open(const std::string& path, std::string& error) {
    // Without O_NONBLOCK a FIFO with no writer would hold the open for ever.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        struct stat st {};
        if (err == ENOENT && ::stat(folderOf(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return ReadStatus::NotFound;
        error = describe(err);
        return ReadStatus::Error;
    }
    handle_ = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = describe(errno);
        return ReadStatus::Error;
    }
    if (!S_ISREG(st.st_mode)) {
        error = describe(S_ISDIR(st.st_mode) ? EISDIR : ENOTSUP);
        return ReadStatus::Error;
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
    return size_ > kMaxReadBytes ? ReadStatus::TooLarge : ReadStatus::Ok;
}

ReadStatus FileReader::read(char* dst, std::size_t room, std::size_t& got, std::string& error) {
    got = 0;
    ssize_t n;
    do n = ::read(static_cast<int>(handle_), dst, room);
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        error = describe(errno);
        return ReadStatus::Error;
    }
    got = static_cast<std::size_t>(n);
    done_ += got;
    return done_ > kMaxReadBytes ? ReadStatus::TooLarge : ReadStatus::Ok;
}

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    FileReader file;
    ReadStatus status = file.open(path, error);
    if (status != ReadStatus::Ok) return status;
    bytes.reserve(static_cast<std::size_t>(file.size()));
    char buf[1 << 16];
    for (std::size_t got = 1; got > 0;) {
        status = file.read(buf, sizeof buf, got, error);
        if (status != ReadStatus::Ok) {
            bytes.clear();
            return status;
        }
        bytes.append(buf, got);
    }
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

}  // namespace rvm
