// Reading the settings at start-up and writing them at the end.
#include "Settings.h"
#include "files/Cp932.h"
#include "files/FileIo.h"

namespace rvm {

Settings ReadSettingsFile(const std::string& path) {
    std::string bytes, error;
    if (ReadWholeFile(path, bytes, error) != ReadStatus::Ok) bytes.clear();
    return ParseSettings(SettingsLines(cp932::decode(bytes)));
}

void WriteSettingsFile(const std::string& path, const Settings& s) {
    std::string error;
    WriteFileAtomic(path, SettingsFileBytes(s), error);
}

}  // namespace rvm
