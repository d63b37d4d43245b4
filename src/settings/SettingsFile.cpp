// Reading the settings at start-up, writing them at the end, and help.
#include "Settings.h"
#include "deck/Document.h"
#include "files/Cp932.h"
#include "files/FileIo.h"

namespace rvm {

void Document::ReadSettings() {
    std::string bytes, error;
    if (ReadWholeFile(SettingsPath, bytes, error) != ReadStatus::Ok) bytes.clear();
    Settings s = ParseSettings(SettingsLines(cp932::decode(bytes)));
    HideMode = s.HideMode;
    IEPlace = s.IEPlace;
}

void Document::SaveIniAndEnd() {
    std::string error;
    WriteFileAtomic(SettingsPath, SettingsFileBytes(Settings{HideMode, IEPlace}), error);
    Ended = true;
    view.endProgram();
}

void Document::ShowHelp() {
    if (prompt.startDetached(IEPlace, {HelpPagePath(ProgramDir)})) return;
    prompt.message("ヘルプを開けません。\r"
                   "---------------------------\r"
                   "[" + IEPlace + "]が使えない可能性があります。\r"
                   "HTMLブラウザを[ツール]の[オプション]で変更できます。",
                   Icon::Error);
}

}  // namespace rvm
