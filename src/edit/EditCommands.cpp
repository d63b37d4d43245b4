// Whole-page Cut, Copy, Paste, Insert and Delete through the clipboard.
#include "deck/Document.h"
#include "deck/Module1.h"

namespace rvm {

namespace {
bool isPageText(const std::string& s) {
    return !s.empty() && s[0] == RS && CountChar(s, std::string(1, RS)) == 2;
}
}  // namespace

EditMenuState Document::mnuEdit_Click() {
    EditMenuState st;
    st.undo = !B3.empty();
    if (!st.undo) view.setUndoCaption(UndoCaption(""));
    auto clip = prompt.clipboardText();
    st.paste = clip && isPageText(ToCrLf(*clip)) && MaxPage + 1 < kMaxPages;
    st.cut = st.del = st.order = MaxPage > 0;
    return st;
}

void Document::mnuEditCopy_Click() {
    StoreTexts();
    prompt.setClipboardText(std::string(1, RS) + view.text(0) + RS + view.text(1));
}

void Document::mnuEditCut_Click() {
    if (MaxPage == 0) return;  // the deck never loses its last page
    mnuEditCopy_Click();
    DelPage("切り取り");
}

void Document::mnuEditDel_Click() {
    if (MaxPage == 0) return;
    DelPage("削除");
}

void Document::mnuEditPaste_Click() {
    // Other programs may have turned CR LF into LF on the way.
    InsPage(ToCrLf(prompt.clipboardText().value_or("")));
}

void Document::mnuInsert_Click() {
    InsPage(std::string(2, RS));
}

void Document::DelPage(const std::string& sName) {
    MakeUndo(sName);
    const int c = StorageIndex(NowPage);
    List1.erase(List1.begin() + c);
    List2.erase(List2.begin() + c);
    List3.erase(List3.begin() + NowPage);
    for (int& v : List3)
        if (v > c) --v;
    MaxPage = MaxPage - 1;
    if (NowPage > MaxPage) NowPage = MaxPage;
    CallTh(NowPage, false, false, false);
    SetChanged(true);
}

void Document::InsPage(const std::string& sPage) {
    if (!isPageText(sPage) || MaxPage + 1 >= kMaxPages) {
        prompt.beep();
        return;
    }
    MakeUndo("貼り付け");
    StoreTexts();
    const std::size_t k = sPage.find(RS, 1);
    const int c = StorageIndex(NowPage);
    List1.insert(List1.begin() + c, sPage.substr(1, k - 1));
    List2.insert(List2.begin() + c, sPage.substr(k + 1));
    for (int& v : List3)
        if (v >= c) ++v;
    List3.insert(List3.begin() + NowPage, c);
    MaxPage = MaxPage + 1;
    CallTh(NowPage, false, false, false);
    SetChanged(true);
}

}  // namespace rvm
