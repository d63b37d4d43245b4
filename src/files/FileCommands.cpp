// The File menu: New, Open, Save, Save As and the way out of the program.
#include "deck/Document.h"

namespace rvm {

namespace {
// False when the user wanted to save and the save did not happen.
bool askToSave(Document& d) {
    if (!d.Changed) return true;
    Answer a = d.prompt.ask("現在のファイルを保存しますか？", Buttons::YesNo, Icon::Question,
                            Answer::Yes);
    if (a == Answer::Yes) return d.SaveW("", true);
    return true;
}
}  // namespace

void Document::mnuFileNew_Click() {
    if (!askToSave(*this)) return;
    NewDeck();
    SetFileName("");
    SetChanged(false);
    CallTh(0, false, true, false);
    ClearUndo();
    OpenedReadOnly = false;
}

void Document::mnuFileOpen_Click() {
    if (!askToSave(*this)) return;
    OpenChoice c = prompt.openFile();
    if (c.path.empty()) return;
    LoadW(c.path, c.readOnly);
}

void Document::OpenDroppedDeck(const std::string& path) {
    if (!askToSave(*this)) return;
    LoadW(path, false);
}

void Document::mnuFileSave_Click() {
    SaveW(OpenedReadOnly ? std::string() : FileName, false);
}

void Document::mnuFileSaveAs_Click() {
    SaveW("", true);
}

void Document::ConfirmExit() {
    if (!Changed) {
        if (prompt.ask("終了しますか？", Buttons::YesNo, Icon::Question, Answer::No) == Answer::Yes)
            SaveIniAndEnd();
        return;
    }
    switch (prompt.ask("保存してから終了しますか？", Buttons::YesNoCancel, Icon::Question,
                       Answer::Yes)) {
    case Answer::Yes:
        if (SaveW("", true)) SaveIniAndEnd();
        break;
    case Answer::No:
        SaveIniAndEnd();
        break;
    default:
        break;
    }
}

}  // namespace rvm
