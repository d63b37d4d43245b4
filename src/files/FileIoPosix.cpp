#include "FileIo.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
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

namespace {

// 0 or the errno of the first failure.
int writeAll(int fd, const std::string& bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

// Follows links to the name the bytes end up under; a dangling link gives
// the missing file it names (exists false).
int resolveTarget(const std::string& given, std::string& path, struct stat& st, bool& exists) {
    path = given;
    for (int hops = 0;; ++hops) {
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) return errno;
            exists = false;
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            return 0;
        }
        if (hops == 40) return ELOOP;
        char to[PATH_MAX];
        ssize_t n = ::readlink(path.c_str(), to, sizeof to);
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) == sizeof to) return ENAMETOOLONG;
        std::string next(to, static_cast<std::size_t>(n));
        path = next[0] == '/' ? next : folderOf(path) + "/" + next;
    }
}

// The new content, with the old file's permissions (and owner where this
// user may give it), safely on disk.
int fill(int fd, const std::string& bytes, mode_t mode, const struct stat* old) {
    if (old && ::fchown(fd, old->st_uid, old->st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), old->st_gid) != 0) {
        // Not ours to give: the new file stays the user's own.
    }
    if (::fchmod(fd, mode) != 0) return errno;
    if (int err = writeAll(fd, bytes)) return err;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Gives the unnamed file fd the name `name`; fails with EEXIST when taken.
int linkUnnamed(int fd, const std::string& name) {
    if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
    if (errno == EEXIST) return EEXIST;
    // Without the right to link by descriptor, the same through /proc.
    std::string proc = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    return errno;
}

// Holds off polite signals (logout, Ctrl+C) for the few calls between
// naming the new file and renaming it, so they never leave it behind.
struct QuietSignals {
    sigset_t old;
    QuietSignals() {
        sigset_t ending;
        sigemptyset(&ending);
        for (int sig : {SIGHUP, SIGINT, SIGQUIT, SIGTERM}) sigaddset(&ending, sig);
        pthread_sigmask(SIG_BLOCK, &ending, &old);
    }
    ~QuietSignals() { pthread_sigmask(SIG_SETMASK, &old, nullptr); }
};

// The unnamed file fd takes the place of path. -1 when it cannot be named
// here, so the caller takes the road of a named temporary file.
int publish(int fd, const std::string& path, bool exists) {
    if (!exists) {
        int err = linkUnnamed(fd, path);
        if (err != EEXIST) return err ? -1 : 0;
    }
    static unsigned counter = 0;
    QuietSignals quiet;
    for (int tries = 0; tries < 100; ++tries) {
        std::string tmp = folderOf(path) + "/.rvm-save-" + std::to_string(::getpid()) + "-" +
                          std::to_string(++counter);
        int err = linkUnnamed(fd, tmp);
        if (err == EEXIST) continue;
        if (err) return -1;
        if (::rename(tmp.c_str(), path.c_str()) == 0) return 0;
        err = errno;
        ::unlink(tmp.c_str());
        return err;
    }
    return -1;
}

// The new content in a file that has no name until it is complete, so a
// crash leaves nothing behind. -1 where the file system cannot do that.
int replaceUnnamed(const std::string& path, const std::string& bytes, mode_t mode,
                   const struct stat* old) {
    int fd = ::open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    int err = fill(fd, bytes, mode, old);
    if (!err) err = publish(fd, path, old != nullptr);
    ::close(fd);
    return err;
}

int replaceNamed(const std::string& path, const std::string& bytes, mode_t mode,
                 const struct stat* old) {
    std::string tmp = folderOf(path) + "/.rvm-save-XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) return errno;
    int err = fill(fd, bytes, mode, old);
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(tmp.c_str(), path.c_str()) != 0) err = errno;
    if (err) ::unlink(tmp.c_str());
    return err;
}

int rewriteInPlace(int fd, const std::string& bytes) {
    if (::ftruncate(fd, 0) != 0) return errno;
    if (int err = writeAll(fd, bytes)) return err;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Makes the rename itself survive a power cut.
int syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 0;  // a folder we may not read: nothing more to do
    int err = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return err;
}

int writeFile(const std::string& given, const std::string& bytes) {
    std::string path;
    struct stat st {};
    bool exists = false;
    if (int err = resolveTarget(given, path, st, exists)) return err;
    mode_t mode;
    int own = -1;  // the existing file, open for writing
    if (exists) {
        if (S_ISDIR(st.st_mode)) return EISDIR;
        if (!S_ISREG(st.st_mode)) return ENOTSUP;
        // A rename needs only the folder's write permission, so check the
        // file's own first. Never blocks, even if it became a FIFO meanwhile.
        own = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (own < 0) return errno;
        if (::fstat(own, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(own);
            return ENOTSUP;
        }
        mode = st.st_mode & 0777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const struct stat* old = exists ? &st : nullptr;
    int err = replaceUnnamed(path, bytes, mode, old);
    if (err < 0) err = replaceNamed(path, bytes, mode, old);
    if (!err) err = syncFolder(folderOf(path));
    // A folder that takes no new file (or a sticky one that keeps another
    // user's file in place) still lets us rewrite a file we may write.
    if ((err == EACCES || err == EPERM) && own >= 0) err = rewriteInPlace(own, bytes);
    if (own >= 0 && ::close(own) != 0 && !err) err = errno;
    return err;
}

}  // namespace

bool FileOpensForReading(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string& error) {
    int err = writeFile(path, bytes);
    if (err) error = describe(err);
    return err == 0;
}

bool AppendToFile(const std::string& path, const std::string& bytes, std::string& error) {
    // O_NONBLOCK: a FIFO with no reader fails at once instead of waiting.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    int err = fd < 0 ? errno : 0;
    struct stat st {};
    if (!err && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) err = ENOTSUP;
    if (!err) err = writeAll(fd, bytes);
    if (!err && ::fsync(fd) != 0) err = errno;
    // The name of a file just made must reach the disk too.
    if (!err && st.st_size == 0) err = syncFolder(folderOf(path));
    if (fd >= 0 && ::close(fd) != 0 && !err) err = errno;
    if (err) error = describe(err);
    return err == 0;
}

std::string ProgramDirectory() {
    std::string exe(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= exe.size()) return ".";
    exe.resize(static_cast<std::size_t>(n));
    return folderOf(exe);
}

}  // namespace rvm
