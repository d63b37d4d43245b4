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

void Document::showHelp() {
    if (prompt.startDetached(helpBrowser, {HelpPagePath(helpBaseDir)})) return;
    prompt.message("ヘルプを開けません。\r"
                   "---------------------------\r"
                   "[" + helpBrowser + "]が使えない可能性があります。\r"
                   "HTMLブラウザを[ツール]の[オプション]で変更できます。",
                   Icon::Error);
}

}  // namespace rvm
