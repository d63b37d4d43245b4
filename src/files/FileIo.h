// Whole-file reading and safe writing, with the platform's error texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rvm {

enum class ReadStatus { Ok, NotFound, TooLarge, Error };

// No deck or settings file comes near this size; reading a larger one whole
// (or an endless device) would only exhaust the memory.
inline constexpr std::uint64_t kMaxReadBytes = std::uint64_t{1} << 30;

// A file open for reading in pieces, closed when the reader goes.
class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // NotFound only for a missing file in an existing folder. Anything but a
    // plain file (a folder, a FIFO, a device) is an Error at once, never a
    // wait; a file larger than kMaxReadBytes is TooLarge.
    ReadStatus open(const std::string& path, std::string& error);
    // The file's size when it was opened.
    std::uint64_t size() const { return size_; }
    // Up to room bytes into dst; got is 0 at the end of the file. TooLarge
    // once more than kMaxReadBytes came (a file that grew meanwhile).
    ReadStatus read(char* dst, std::size_t room, std::size_t& got, std::string& error);

private:
    std::intptr_t handle_ = -1;
    std::uint64_t size_ = 0, done_ = 0;
};

// The whole file at once, with the same checks as FileReader.
ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

// True when path names something that can be opened for reading.
bool FileOpensForReading(const std::string& path);

// Writes to a temporary file in the target's folder, flushes it to disk and
// renames it over the target, so a failed write leaves the old file whole.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string& error);

}  // namespace rvm
