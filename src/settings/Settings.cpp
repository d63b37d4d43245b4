#include "Settings.h"

#include <cctype>
#include <cmath>

#include "deck/Text.h"
#include "files/Cp932.h"

namespace rvm {

#ifdef _WIN32
static const char* const kDefaultBrowser = "c:\\windows\\explorer.exe";
#else
static const char* const kDefaultBrowser = "xdg-open";  // the desktop's own opener for the help page
#endif

std::string DefaultHelpBrowser() { return kDefaultBrowser; }

std::vector<std::string> SettingsLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\r', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (line.empty() || line[0] != ';') lines.push_back(std::move(line));
        pos = end + 1;
        if (end < text.size() && pos < text.size() && text[pos] == '\n') ++pos;
    }
    return lines;
}

namespace {
std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string trimBlanks(const std::string& s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}
}  // namespace

Settings ParseSettings(const std::vector<std::string>& lines) {
    Settings st;
    st.helpBrowser = DefaultHelpBrowser();
    for (const std::string& line : lines) {
        std::string key = lower(WithoutBlanks(line));
        if (key.rfind("hide=", 0) == 0) {
            auto v = LeadingNumber(key.substr(5));
            if (v) {
                double r = std::nearbyint(*v);  // halves to the even neighbour
                if (r >= -32768 && r <= 32767) st.hideMode = static_cast<std::int16_t>(r);
            }
            if (st.hideMode < 0 || st.hideMode > 2) st.hideMode = 1;
        } else if (key.rfind("ieplace=", 0) == 0) {
            st.helpBrowser = trimBlanks(line.substr(line.find('=') + 1));
        }
    }
    return st;
}

std::string SettingsFileBytes(const Settings& s) {
    return cp932::encode("Hide = " + std::to_string(s.hideMode) + "\r\nIEPlace = " + s.helpBrowser +
                         "\r\n")
        .bytes;
}

}  // namespace rvm
