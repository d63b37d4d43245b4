// Whole-file reading and safe writing, with Japanese error texts.
// Paths are UTF-8 text. The errors users meet (not found, permission, a
// folder, not a regular file, disk full, read-only disk, file too large, I/O
// error) read the same on every platform; others are the platform's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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
    // As open, for the program's own files: a link there is refused, so no
    // link planted in its folders makes it read elsewhere.
    ReadStatus openOwn(const std::string& path, std::string& error);
    // The file's size when it was opened.
    std::uint64_t size() const { return size_; }
    // Up to room bytes into dst; got is 0 at the end of the file. TooLarge
    // once more than kMaxReadBytes came (a file that grew meanwhile).
    ReadStatus read(char* dst, std::size_t room, std::size_t& got, std::string& error);
    // The next read() starts at offset, so a large file's few parts are read
    // without the rest.
    ReadStatus seek(std::uint64_t offset, std::string& error);

private:
    ReadStatus open(const std::string& path, bool followLinks, std::string& error);
    std::intptr_t handle_ = -1;
    std::uint64_t size_ = 0, done_ = 0;
};

// The whole file at once, with the same checks as FileReader; TooLarge also
// for a file larger than limit.
ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string& error,
                         std::uint64_t limit = kMaxReadBytes);
// The same for the program's own files (FileReader::openOwn).
ReadStatus ReadOwnFile(const std::string& path, std::string& bytes, std::string& error,
                       std::uint64_t limit = kMaxReadBytes);

// True when path names an existing regular file (also through links) that
// this user can open for reading. Never blocks: a folder, a FIFO or a device
// is not a file here, and none of them is opened.
bool FileOpensForReading(const std::string& path);

// Writes bytes as the whole content of the file at path (UTF-8), so that a
// failure or a crash at any moment leaves the old file whole and no other
// file behind where the platform allows it: the new content goes to a
// temporary file in the same folder, is flushed to disk and then takes the
// target's place in one step; the folder is flushed after that.
// - A link is kept: the file it names is replaced, or created when missing.
// - A replaced file keeps its permission bits (and, where allowed, owner).
// - An existing file this user may not write is refused, never replaced.
// - A folder, FIFO, device or other non-file target is refused at once.
// - When the folder allows no new file but the file itself is writable, the
//   file is rewritten in place, the only way there: a copy of its old
//   content waits in the user's data folder until the new content is on
//   disk, and the space is taken before the first byte changes. If no copy
//   can be made, the save is refused, naming the folder.
// - Temporary files left by a program that died saving into the folder are
//   removed.
// On failure returns false and sets error to a description for the user.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string& error);

// WriteFileAtomic for the program's own files (its data folders): never in
// place, and a link at path is itself replaced, never followed.
bool WriteOwnFile(const std::string& path, const std::string& bytes, std::string& error);

// Adds bytes at the end of the program's own file at path (made when
// missing) and has them on disk before it returns, for a log that must keep
// each line it was given through a crash. A crash meanwhile may leave part
// of bytes at the end. A link, folder, FIFO or device is refused at once.
bool AppendToFile(const std::string& path, const std::string& bytes, std::string& error);
// What a rewrite in place of a file left in the user's data folder when it
// never finished (a crash, a kill, a power cut). Torn: the file holds neither
// its old nor its new content and copy is the whole old file. CopyDiffers:
// the file is torn, but the copy does not match its note. NoteUnreadable: a
// note that cannot be read (or names another file), so nobody knows. copy is
// empty when there is no copy that reads. Nothing is ever deleted here but a
// copy whose file holds its old or new content after all; the others stay
// until the next save of that file finishes.
struct SaveLeftover {
    enum Kind { Torn, CopyDiffers, NoteUnreadable } kind;
    std::string copy, note;
};
std::optional<SaveLeftover> InterruptedSaveBackup(const std::string& path);
// The file whose rewrite was cut off leaving exactly bytes (read from
// standard input, say), when some kept note tells so.
std::optional<std::string> TornFileHolding(const std::string& bytes);

// The description of a C library error number, in the words of the file
// functions above (for the standard streams, which report errno).
std::string DescribeErrno(int err);

// The folder that holds the running program, where its settings file and
// help page live; it ends in a separator only when it is a root.
std::string ProgramDirectory();

}  // namespace rvm
