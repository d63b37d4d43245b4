// One level of undo for the page edit commands.
#include "deck/Document.h"

namespace rvm {

std::string UndoCaption(const std::string& commandName) {
    return "元に戻す(&U)" + commandName;
}

void Document::takeUndoSnapshot(const std::string& commandName) {
    undoSnapshot = deck;
    view.setUndoCaption(UndoCaption(commandName));
}

void Document::clearUndo() {
    undoSnapshot.reset();
}

void Document::undo() {
    if (!undoSnapshot) return;
    deck = std::move(*undoSnapshot);
    clearUndo();
    if (currentPage > lastPage()) currentPage = lastPage();
    showPage(currentPage);
    // The restored deck differs from what was last saved.
    setChanged(true);
}

}  // namespace rvm
