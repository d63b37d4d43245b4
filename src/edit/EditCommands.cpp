// Whole-page Cut, Copy, Paste, Insert and Delete through the clipboard.
#include "deck/Document.h"
#include "deck/Deck.h"
#include "deck/Text.h"

namespace rvm {

namespace {
bool isPageText(const std::string& s) {
    return !s.empty() && s[0] == kPageSeparator && CountChar(s, std::string(1, kPageSeparator)) == 2;
}
}  // namespace

EditMenuState Document::editMenuState() {
    EditMenuState st;
    st.undo = undoSnapshot.has_value();
    if (!st.undo) view.setUndoCaption(UndoCaption(""));
    auto clip = prompt.clipboardText();
    st.paste = clip && isPageText(ToCrLf(*clip)) && lastPage() + 1 < kMaxPages;
    st.cut = st.del = st.order = lastPage() > 0;
    return st;
}

void Document::copyPage() {
    storeTypedText();
    prompt.setClipboardText(std::string(1, kPageSeparator) + view.text(0) + kPageSeparator + view.text(1));
}

void Document::cutPage() {
    if (lastPage() == 0) return;  // the deck never loses its last page
    copyPage();
    removeCurrentPage("切り取り");
}

void Document::deletePage() {
    if (lastPage() == 0) return;
    removeCurrentPage("削除");
}

void Document::pastePage() {
    // Other programs may have turned CR LF into LF on the way.
    insertPageText(ToCrLf(prompt.clipboardText().value_or("")));
}

void Document::insertBlankPage() {
    insertPageText(std::string(2, kPageSeparator));
}

void Document::removeCurrentPage(const std::string& commandName) {
    takeUndoSnapshot(commandName);
    const int removed = storageIndex(currentPage);
    deck.pages.erase(deck.pages.begin() + removed);
    deck.displayOrder.erase(deck.displayOrder.begin() + currentPage);
    for (int& s : deck.displayOrder)
        if (s > removed) --s;
    if (currentPage > lastPage()) currentPage = lastPage();
    showPage(currentPage);
    setChanged(true);
}

void Document::insertPageText(const std::string& pageText) {
    if (!isPageText(pageText) || lastPage() + 1 >= kMaxPages) {
        prompt.beep();
        return;
    }
    takeUndoSnapshot("貼り付け");
    storeTypedText();
    const std::size_t k = pageText.find(kPageSeparator, 1);
    const int at = storageIndex(currentPage);
    deck.pages.insert(deck.pages.begin() + at, Page{pageText.substr(1, k - 1), pageText.substr(k + 1)});
    for (int& s : deck.displayOrder)
        if (s >= at) ++s;
    deck.displayOrder.insert(deck.displayOrder.begin() + currentPage, at);
    showPage(currentPage);
    setChanged(true);
}

}  // namespace rvm
