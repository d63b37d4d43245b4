#include "Help.h"

namespace rvm {

#ifdef _WIN32
static const char kSep = '\\';
#else
static const char kSep = '/';
#endif

std::string HelpPagePath(const std::string& programDir) {
    std::string dir = programDir;
    if (dir.empty() || dir.back() != kSep) dir += kSep;
    return dir + "Help" + kSep + "Help.htm";
}

// A browser that cannot show the page, because it does not start or ends
// with an error at once (a launcher that finds no browser), gives way to the
// program's own help window; help fails only when that cannot read the page.
void Help::show() {
    const std::string page = HelpPagePath(programDir_);
    auto ownWindow = [this, page] {
        if (prompt_.showHelpPage(page)) return;
        prompt_.message("ヘルプを開けません。\r"
                        "---------------------------\r"
                        "[" + browser_ + "]が使えない可能性があります。\r"
                        "HTMLブラウザを[ツール]の[オプション]で変更できます。",
                        Icon::Error);
    };
    if (!prompt_.startProgram(browser_, {page}, ownWindow)) ownWindow();
}

}  // namespace rvm
