// One level of undo for the page edit commands.
#include "deck/Document.h"

namespace rvm {

std::string UndoCaption(const std::string& sName) {
    return "元に戻す(&U)" + sName;
}

void Document::MakeUndo(const std::string& sName) {
    B1 = List1;
    B2 = List2;
    B3 = List3;
    view.setUndoCaption(UndoCaption(sName));
}

void Document::ClearUndo() {
    B1.clear();
    B2.clear();
    B3.clear();
}

void Document::mnuEditUndo_Click() {
    if (B3.empty()) return;  // would leave an empty deck
    List1 = std::move(B1);
    List2 = std::move(B2);
    List3 = std::move(B3);
    ClearUndo();
    MaxPage = static_cast<std::int32_t>(List3.size()) - 1;
    if (NowPage > MaxPage) NowPage = MaxPage;
    CallTh(NowPage, false, false, false);
    // The restored deck differs from what was last saved.
    SetChanged(true);
}

}  // namespace rvm
