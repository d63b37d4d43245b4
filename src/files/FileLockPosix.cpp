#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <utility>

#include "FileLock.h"

namespace rvm {

bool FileLock::tryLock(const std::string& path) {
    release();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    // flock belongs to the open file, so a second lock in this very process
    // through another open fails as one in another process does.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
    return true;
}

void FileLock::release() {
    if (handle_ == -1) return;
    ::close(static_cast<int>(std::exchange(handle_, -1)));
}

}  // namespace rvm
