#include <dirent.h>
#include <fcntl.h>
#include <libintl.h>
#include <locale.h>
#include <pthread.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FileIo.h"
#include "FileIoDetail.h"
#include "MessageCatalog.h"

namespace rvm {
namespace {

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Stands for "not a regular file", which has no errno of its own.
constexpr int kNotAFile = -2;

// The system's Japanese descriptions of its errors, whatever the caller's
// locale; none where the catalogue is not installed. Read without FileReader,
// whose own errors are described with it.
const MessageCatalog& systemJapanese() {
    static const MessageCatalog catalogue = [] {
        std::string bytes;
        const char* dir = ::bindtextdomain("libc", nullptr);  // asks, binds nothing
        const std::string path = std::string(dir ? dir : "") + "/ja/LC_MESSAGES/libc.mo";
        int fd = dir ? ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) : -1;
        struct stat st {};
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size < (1 << 24)) {
            bytes.resize(static_cast<std::size_t>(st.st_size));
            if (::read(fd, bytes.data(), bytes.size()) != st.st_size) bytes.clear();
        }
        if (fd >= 0) ::close(fd);
        return MessageCatalog(std::move(bytes));
    }();
    return catalogue;
}

std::string describe(int err) {
    if (err == kNotAFile) return detail::FaultWords(detail::Fault::NotAFile);
    static const locale_t english = ::newlocale(LC_ALL_MASK, "C", locale_t{});
    const std::string text = english ? ::strerror_l(err, english) : "error " + std::to_string(err);
    if (auto ja = systemJapanese().find(text)) return *ja;
    if (auto fault = detail::FaultOfErrno(err)) return detail::FaultWords(*fault);
    return text;
}

}  // namespace

FileReader::~FileReader() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

ReadStatus FileReader::open(const std::string& path, bool followLinks, std::string& error) {
    // Without O_NONBLOCK a FIFO with no writer would hold the open for ever.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
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
        error = describe(S_ISDIR(st.st_mode) ? EISDIR : kNotAFile);
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

ReadStatus FileReader::seek(std::uint64_t offset, std::string& error) {
    if (::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), SEEK_SET) < 0) {
        error = describe(errno);
        return ReadStatus::Error;
    }
    return ReadStatus::Ok;
}

namespace {

// 0 or the errno of the first failure; the bytes go from the file's start,
// or with atEnd to its end, which POSIX promises write() under O_APPEND (a
// pwrite() there takes its offset everywhere but on Linux).
int writeAll(int fd, const std::string& bytes, bool atEnd = false) {
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t left = bytes.size() - done;
        ssize_t n = atEnd ? ::write(fd, bytes.data() + done, left)
                          : ::pwrite(fd, bytes.data() + done, left, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Takes the disk space for size bytes before the first one is written, so a
// full disk or a file size limit fails the save before anything changed.
int takeRoom(int fd, std::uint64_t size) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && size > limit.rlim_cur)
        return EFBIG;
    if (size == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) return 0;
    // Where the file system cannot reserve, the write itself finds out.
    return errno == EOPNOTSUPP || errno == ENOSYS ? 0 : errno;
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
    if (int err = takeRoom(fd, bytes.size())) return err;
    if (int err = writeAll(fd, bytes)) return err;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Temporary names carry the saving process's id, so that what one left when
// it died between naming and renaming can be told from a save still running.
const char* const kTempPrefix = ".rvm-save-";

std::string tempName(const std::string& folder) {
    static unsigned counter = 0;
    return folder + "/" + kTempPrefix + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

// Removes this user's temporary files in folder whose process is gone.
void removeLeftovers(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const std::size_t prefix = std::strlen(kTempPrefix);
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.compare(0, prefix, kTempPrefix) != 0) continue;
        char* end = nullptr;
        const unsigned long pid = std::strtoul(name.c_str() + prefix, &end, 10);
        if (end == name.c_str() + prefix || *end != '-' || pid == 0 || pid > INT_MAX) continue;
        if (static_cast<pid_t>(pid) == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid())
            ::unlinkat(::dirfd(dir), e->d_name, 0);
    }
    ::closedir(dir);
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
    QuietSignals quiet;
    for (int tries = 0; tries < 100; ++tries) {
        std::string tmp = tempName(folderOf(path));
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
    std::string tmp;
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < 100; ++tries) {
        tmp = tempName(folderOf(path));
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;
    int err = fill(fd, bytes, mode, old);
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(tmp.c_str(), path.c_str()) != 0) err = errno;
    if (err) ::unlink(tmp.c_str());
    return err;
}

// The new content over the old through the file's own descriptor, from the
// start, cut to its length and on disk.
int overwrite(int fd, const std::string& bytes) {
    if (int err = writeAll(fd, bytes)) return err;
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// For a folder that takes no new file. The old content waits in the user's
// data folder until the new one is on disk, and is written back after a
// failure; without that copy the save is refused (why says so).
int rewriteInPlace(int fd, const std::string& path, const std::string& bytes, std::string& why) {
    detail::SaveBackup backup;
    if (!backup.keep(path, bytes, why)) return EACCES;
    int err = takeRoom(fd, bytes.size());
    if (err) return backup.settle(false), err;  // nothing changed
    err = overwrite(fd, bytes);
    if (!err || overwrite(fd, backup.before()) == 0)
        backup.settle(!err);
    else
        why = describe(err) + "\r" + backup.keptAt();
    return err;
}

// Makes the rename itself survive a power cut.
int syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 0;  // a folder we may not read: nothing more to do
    int err = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return err;
}

// 0, or an errno with why set when the errno alone would not tell the user.
// inPlace: a user's file, rewritten in place where nothing else is allowed,
// through a link to the file it names; otherwise one of the program's own,
// whose link is replaced itself.
int writeFile(const std::string& given, const std::string& bytes, bool inPlace, std::string& why) {
    std::string path = given;
    struct stat st {};
    bool exists = false;
    if (inPlace) {
        if (int err = resolveTarget(given, path, st, exists)) return err;
    } else if (::lstat(path.c_str(), &st) == 0) {
        exists = !S_ISLNK(st.st_mode);
    } else if (errno != ENOENT) {
        return errno;
    }
    mode_t mode;
    int own = -1;  // the existing file, open for writing
    if (exists) {
        if (S_ISDIR(st.st_mode)) return EISDIR;
        if (!S_ISREG(st.st_mode)) return kNotAFile;
        // A rename needs only the folder's write permission, so check the
        // file's own first. Never blocks, even if it became a FIFO meanwhile.
        own = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (own < 0) return errno;
        if (::fstat(own, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(own);
            return kNotAFile;
        }
        mode = st.st_mode & 0777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    removeLeftovers(folderOf(path));
    const struct stat* old = exists ? &st : nullptr;
    int err = replaceUnnamed(path, bytes, mode, old);
    if (err < 0) err = replaceNamed(path, bytes, mode, old);
    if (!err) err = syncFolder(folderOf(path));
    if (!err && inPlace) detail::ForgetSaveBackup(path);
    // A folder that takes no new file (or a sticky one that keeps another
    // user's file in place) still lets us rewrite a file we may write.
    if ((err == EACCES || err == EPERM) && own >= 0 && inPlace) err = rewriteInPlace(own, path, bytes, why);
    if (own >= 0 && ::close(own) != 0 && !err) err = errno;
    return err;
}

bool writeWith(const std::string& path, const std::string& bytes, bool inPlace, std::string& error) {
    std::string why;
    int err = writeFile(path, bytes, inPlace, why);
    if (err) error = why.empty() ? describe(err) : why;
    return err == 0;
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
    return writeWith(path, bytes, true, error);
}

bool AppendToFile(const std::string& path, const std::string& bytes, std::string& error) {
    // O_NONBLOCK: a FIFO with no reader fails at once instead of waiting.
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW,
                          0666);
    int err = fd < 0 ? errno : 0;
    struct stat st {};
    if (!err && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) err = ENOTSUP;
    if (!err) err = writeAll(fd, bytes, true);
    if (!err && ::fsync(fd) != 0) err = errno;
    // The name of a file just made must reach the disk too.
    if (!err && st.st_size == 0) err = syncFolder(folderOf(path));
    if (fd >= 0 && ::close(fd) != 0 && !err) err = errno;
    if (err) error = describe(err);
    return err == 0;
}

std::string DescribeErrno(int err) { return describe(err); }

bool WriteOwnFile(const std::string& path, const std::string& bytes, std::string& error) {
    return writeWith(path, bytes, false, error);
}

namespace detail {

std::string UserDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/ravolin-memorel";
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    return home && home[0] == '/' ? std::string(home) + "/.local/share/ravolin-memorel" : "";
}

}  // namespace detail

std::string ProgramDirectory() {
    std::string exe(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= exe.size()) return ".";
    exe.resize(static_cast<std::size_t>(n));
    return folderOf(exe);
}

}  // namespace rvm
