#include "Document.h"

namespace rvm {

Document::Document(PageView& v, Prompt& p) : view(v), prompt(p) {
    makeBlankDeck();
}

void Document::setChanged(bool flag) {
    changed = flag;
    view.setSaveEnabled(flag);
}

void Document::setFileName(const std::string& name) {
    fileName = name;
    view.setCaption(std::string(kAppTitle) + " - " + (name.empty() ? "[無題]" : name));
}

int Document::storageIndex(int displayPos) const {
    // The deck is kept consistent; the clamp only keeps a broken order from
    // ever being read outside its bounds.
    const auto& order = deck.displayOrder;
    if (displayPos < 0 || displayPos >= static_cast<int>(order.size())) return 0;
    int s = order[displayPos];
    if (s < 0 || s >= static_cast<int>(deck.pages.size())) return 0;
    return s;
}

std::string Document::statusText() const {
    return std::to_string(currentPage + 1) + "枚目  " + std::to_string(storageIndex(currentPage) + 1) +
           "ページ  全" + std::to_string(lastPage() + 1) + "枚";
}

void Document::makeBlankDeck() {
    deck.pages.assign(1, Page{});
    deck.displayOrder.assign(1, 0);
    currentPage = 0;
}

void Document::storeTypedText() {
    Page& page = deck.pages[storageIndex(currentPage)];
    page.question = view.text(0);
    page.answer = view.text(1);
}

void Document::showPage(std::int32_t position, ShowOptions options) {
    showingPage = true;
    if (options.storeTyped) storeTypedText();
    currentPage = position;
    const bool pastLast = position == lastPage() + 1;
    if (pastLast && options.appendPastLast && lastPage() + 1 < kMaxPages) {
        deck.pages.emplace_back();
        deck.displayOrder.push_back(lastPage() + 1);
        options.uncovered = true;  // a new page is for writing, nothing to hide
        setChanged(true);
        undoSnapshot.reset();
    } else {
        if (pastLast && options.appendPastLast) prompt.beep();  // the deck is full
        if (position < 0) currentPage = 0;
        if (currentPage > lastPage()) currentPage = lastPage();
    }
    arrangeCovers(options.uncovered);
    const Page& page = deck.pages[storageIndex(currentPage)];
    view.setText(0, page.question);
    view.setText(1, page.answer);
    view.setStatus(statusText());
    view.setNavigation(currentPage > 0, currentPage != lastPage(), currentPage == lastPage());
    showingPage = false;
}

void Document::arrangeCovers(bool uncovered) {
    if (hideMode != 0 && hideMode != 1) {
        view.setCovered(0, false);
        view.setCovered(1, false);
        return;
    }
    const int hidden = hideMode, other = 1 - hidden;
    view.setCovered(other, false);
    view.setCovered(hidden, !uncovered);
}

void Document::uncoverHalf(int half) {
    view.setCovered(half, false);
    view.focusText(half);
}

void Document::coverHalf(int half) {
    view.setCovered(half, true);
}

void Document::textEdited() {
    if (showingPage) return;
    setChanged(true);
    undoSnapshot.reset();
}

}  // namespace rvm
