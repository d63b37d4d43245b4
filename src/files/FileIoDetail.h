// What the platform backends of FileIo.h and its shared code give each other.
#pragma once

#include <optional>
#include <string>

#include "FileLock.h"

namespace rvm::detail {

// The file errors users meet, told in the same words on every platform.
// The last ones only Windows reports, in its own words when it is not
// Japanese (Wine).
enum class Fault { NotFound, Denied, Folder, NotAFile, DiskFull, ReadOnlyDisk, TooLarge, Broken,
                   NotAFolder, BadName, NameTooLong, InUse, NotReady };
std::string FaultWords(Fault fault);
std::optional<Fault> FaultOfErrno(int err);

// The program's folder in this user's own data, which may not exist yet;
// empty when the system names none.
std::string UserDataFolder();

// The old content of a file being rewritten in place, kept in the user's data
// folder until the file is whole again.
class SaveBackup {
public:
    // Takes the file's lock (waiting a little for another rewrite), reads its
    // present content and puts a copy of it safely on disk, with a note of
    // what the save writes. When the file is the remains of an
    // earlier save cut off half-way, the copy of that earlier save stays.
    // False when no copy can be made: error then says why, for the user.
    bool keep(const std::string& path, const std::string& fresh, std::string& error);
    const std::string& before() const { return before_; }
    // The file is whole again: the new content (true) or before() (false).
    void settle(bool fresh);
    // Where the copy stays, for a message after the file could not be restored.
    std::string keptAt() const;

private:
    std::string before_, copy_, note_;
    bool older_ = false;  // the copy is of an earlier save's old content
    FileLock lock_;       // held until the rewrite is over
};

// A save that took the file's place in one step leaves no copy behind.
void ForgetSaveBackup(const std::string& path);

}  // namespace rvm::detail
