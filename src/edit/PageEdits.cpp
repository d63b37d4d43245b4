#include "PageEdits.h"

#include "deck/Deck.h"
#include "deck/Text.h"

namespace rvm {

namespace {
bool isPageText(const std::string& s) {
    return !s.empty() && s[0] == kPageSeparator && CountChar(s, std::string(1, kPageSeparator)) == 2;
}
}  // namespace

EditMenuState PageEdits::menuState() {
    EditMenuState st;
    st.undo = doc_.canUndo();
    if (!st.undo) view_.setUndoCaption(UndoCaption(""));
    auto clip = prompt_.clipboardText();
    st.paste = clip && isPageText(ToCrLf(*clip)) && doc_.lastPage() + 1 < kMaxPages;
    st.cut = st.del = st.order = doc_.lastPage() > 0;
    return st;
}

void PageEdits::copyPage() {
    doc_.storeTypedText();
    prompt_.setClipboardText(std::string(1, kPageSeparator) + view_.text(0) + kPageSeparator + view_.text(1));
}

void PageEdits::cutPage() {
    if (doc_.lastPage() == 0) return;  // the deck never loses its last page
    copyPage();
    doc_.removeCurrentPage("切り取り");
}

void PageEdits::deletePage() {
    if (doc_.lastPage() == 0) return;
    doc_.removeCurrentPage("削除");
}

void PageEdits::pastePage() {
    // Other programs may have turned CR LF into LF on the way.
    insertPageText(ToCrLf(prompt_.clipboardText().value_or("")));
}

void PageEdits::insertBlankPage() {
    insertPageText(std::string(2, kPageSeparator));
}

void PageEdits::insertPageText(const std::string& pageText) {
    if (!isPageText(pageText) || doc_.lastPage() + 1 >= kMaxPages) {
        prompt_.beep();
        return;
    }
    const std::size_t k = pageText.find(kPageSeparator, 1);
    doc_.insertPage(Page{pageText.substr(1, k - 1), pageText.substr(k + 1)}, "貼り付け");
}

}  // namespace rvm
