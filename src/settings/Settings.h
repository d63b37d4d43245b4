// The settings file "Ravmemo.ini": lines "Hide = n" and "IEPlace = path",
// comments starting with ";", code page 932 with CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rvm {

struct Settings {
    std::int16_t hideMode = 1;
    std::string helpBrowser;
};

// The browser program used when the settings name none.
std::string DefaultHelpBrowser();

// The non-comment lines of the file's text (CR or CR LF ends a line).
std::vector<std::string> SettingsLines(const std::string& text);

// Interprets the lines over the defaults; later lines win.
Settings ParseSettings(const std::vector<std::string>& lines);

// Exactly the two lines the program writes, in code page 932.
std::string SettingsFileBytes(const Settings& s);

// The file at path, read at start-up: the defaults when it cannot be read.
Settings ReadSettingsFile(const std::string& path);
// Written when the program ends; a failure changes nothing and says nothing.
void WriteSettingsFile(const std::string& path, const Settings& s);

}  // namespace rvm
