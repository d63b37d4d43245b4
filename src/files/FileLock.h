// A lock held on a file for as long as this object lives: by one process at
// a time, released by the system when the process ends however it ends.
// One backend per platform.
#pragma once

#include <cstdint>
#include <string>

namespace rvm {

class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    // Moved, never copied: one holder for each lock.
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;

    // Takes the lock on the file at path (made when missing, never through a
    // link) without waiting; false when another process holds it or the file
    // cannot be made.
    bool tryLock(const std::string& path);
    bool held() const { return handle_ != -1; }
    void release();

private:
    std::intptr_t handle_ = -1;
};

}  // namespace rvm
