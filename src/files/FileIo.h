// Whole-file reading and safe writing, with the platform's error texts.
#pragma once

#include <string>

namespace rvm {

enum class ReadStatus { Ok, NotFound, Error };

// NotFound only for a missing file in an existing folder.
ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

// True when path names something that can be opened for reading.
bool FileOpensForReading(const std::string& path);

// Writes to a temporary file in the target's folder, flushes it to disk and
// renames it over the target, so a failed write leaves the old file whole.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string& error);

// The folder that holds the running program, where its settings file and
// help page live; it ends in a separator only when it is a root.
std::string ProgramDirectory();

}  // namespace rvm
