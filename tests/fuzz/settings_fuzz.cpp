// Any bytes as a settings file: the reader never crashes and always ends
// with a hide mode of 0, 1 or 2.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/Cp932.h"
#include "settings/Settings.h"

using namespace rvm;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Settings s = ParseSettings(SettingsLines(cp932::decode(bytes)));
    if (s.hideMode < 0 || s.hideMode > 2) std::abort();
    // What is written reads back the same, unless the path cannot be held.
    if (s.helpBrowser.find('\r') == std::string::npos && cp932::encode(s.helpBrowser).unmappable.empty()) {
        Settings again = ParseSettings(SettingsLines(cp932::decode(SettingsFileBytes(s))));
        if (again.hideMode != s.hideMode) std::abort();
    }
    return 0;
}
