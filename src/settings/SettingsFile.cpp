// Reading the settings at start-up, writing them at the end, and help.
#include "Settings.h"
#include "deck/Document.h"
#include "files/Cp932.h"
#include "files/FileIo.h"

namespace rvm {

void Document::readSettings() {
    std::string bytes, error;
    if (ReadWholeFile(settingsPath, bytes, error) != ReadStatus::Ok) bytes.clear();
    Settings s = ParseSettings(SettingsLines(cp932::decode(bytes)));
    hideMode = s.hideMode;
    helpBrowser = s.helpBrowser;
}

void Document::writeSettingsAndEnd() {
    std::string error;
    WriteFileAtomic(settingsPath, SettingsFileBytes(Settings{hideMode, helpBrowser}), error);
    ended = true;
    view.endProgram();
}

// A browser that cannot show the page, because it does not start or ends
// with an error at once (a launcher that finds no browser), gives way to the
// program's own help window; help fails only when that cannot read the page.
void Document::showHelp() {
    const std::string page = HelpPagePath(helpBaseDir);
    auto ownWindow = [this, page] {
        if (prompt.showHelpPage(page)) return;
        prompt.message("ヘルプを開けません。\r"
                       "---------------------------\r"
                       "[" + helpBrowser + "]が使えない可能性があります。\r"
                       "HTMLブラウザを[ツール]の[オプション]で変更できます。",
                       Icon::Error);
    };
    if (!prompt.startProgram(helpBrowser, {page}, ownWindow)) ownWindow();
}

}  // namespace rvm
