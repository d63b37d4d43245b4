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
// program's own help window, which says so and where the setting is mended;
// help fails only when that cannot read the page.
void Help::show() {
    const std::string page = HelpPagePath(programDir_);
    const std::string notice = "ヘルプをブラウザ[" + browser_ + "]で開けなかったので、ここに表示しています。"
                               "ブラウザは[ﾂｰﾙ]-[ｵﾌﾟｼｮﾝ]の「Internet Explorer の位置」で変更できます。";
    auto ownWindow = [this, page, notice] {
        if (prompt_.showHelpPage(page, notice)) return;
        prompt_.message("ヘルプを開けません。\r"
                        "---------------------------\r"
                        "[" + browser_ + "]が使えない可能性があります。\r"
                        "HTMLブラウザを[ツール]の[オプション]で変更できます。",
                        Icon::Error);
    };
    if (!prompt_.startProgram(browser_, {page}, ownWindow)) ownWindow();
}

}  // namespace rvm
