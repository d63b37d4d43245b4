// The File menu: New, Open, Save, Save As and the way out of the program.
#include "deck/Document.h"

namespace rvm {

namespace {
// False when the user wanted to save and the save did not happen.
bool askToSave(Document& d) {
    if (!d.changed) return true;
    Answer a = d.prompt.ask("現在のファイルを保存しますか？", Buttons::YesNo, Icon::Question,
                            Answer::Yes);
    if (a == Answer::Yes) return d.saveDeck("", true);
    return true;
}
}  // namespace

void Document::newDeck() {
    if (!askToSave(*this)) return;
    makeBlankDeck();
    setFileName("");
    setChanged(false);
    showPage(0, {.uncovered = true});
    clearUndo();
    openedReadOnly = false;
    if (deckOpened) deckOpened();
}

void Document::openDeck() {
    if (!askToSave(*this)) return;
    OpenChoice c = prompt.openFile();
    if (c.path.empty()) return;
    loadDeck(c.path, c.readOnly);
}

void Document::openDroppedDeck(const std::string& path) {
    if (!askToSave(*this)) return;
    loadDeck(path, false);
}

void Document::save() {
    saveDeck(openedReadOnly ? std::string() : fileName, false);
}

void Document::saveAs() {
    saveDeck("", true);
}

void Document::confirmExit() {
    if (!changed) {
        if (prompt.ask("終了しますか？", Buttons::YesNo, Icon::Question, Answer::No) == Answer::Yes)
            writeSettingsAndEnd();
        return;
    }
    switch (prompt.ask("保存してから終了しますか？", Buttons::YesNoCancel, Icon::Question,
                       Answer::Yes)) {
    case Answer::Yes:
        if (saveDeck("", true)) writeSettingsAndEnd();
        break;
    case Answer::No:
        writeSettingsAndEnd();
        break;
    default:
        break;
    }
}

}  // namespace rvm
