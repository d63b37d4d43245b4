#include "Document.h"

#include <utility>

#include "PageOrder.h"

namespace rvm {

Document::Document(PageView& view, Prompt& prompt) : view_(view), prompt_(prompt) {
    deck_ = BlankDeck();
}

void Document::setChanged(bool flag) {
    changed_ = flag;
    view_.setSaveEnabled(flag);
}

int Document::storageIndex(int displayPos) const {
    // The deck is kept consistent; the clamp only keeps a broken order from
    // ever being read outside its bounds.
    const auto& order = deck_.displayOrder;
    if (displayPos < 0 || displayPos >= static_cast<int>(order.size())) return 0;
    int s = order[displayPos];
    if (s < 0 || s >= static_cast<int>(deck_.pages.size())) return 0;
    return s;
}

std::string Document::statusText() const {
    return std::to_string(currentPage_ + 1) + "枚目  " + std::to_string(storageIndex(currentPage_) + 1) +
           "ページ  全" + std::to_string(lastPage() + 1) + "枚";
}

bool Document::replaceDeck(Deck deck, ShowOptions options) {
    if (deck.pages.empty() || !IsOrder(deck.displayOrder, deck.pages.size())) return false;
    deck_ = std::move(deck);
    currentPage_ = 0;
    undoSnapshot_.reset();
    ++revision_;
    showPage(0, options);
    return true;
}

void Document::storeTypedText() {
    Page& page = deck_.pages[storageIndex(currentPage_)];
    std::string question = view_.text(0), answer = view_.text(1);
    if (question == page.question && answer == page.answer) return;
    const Page before = std::exchange(page, {std::move(question), std::move(answer)});
    ++revision_;
    if (pageEdited) pageEdited(before, page);
}

void Document::showPage(std::int32_t position, ShowOptions options) {
    showingPage_ = true;
    if (options.storeTyped) storeTypedText();
    currentPage_ = position;
    const bool pastLast = position == lastPage() + 1;
    if (pastLast && options.appendPastLast && lastPage() + 1 < kMaxPages) {
        deck_.pages.emplace_back();
        deck_.displayOrder.push_back(lastPage() + 1);
        options.uncovered = true;  // a new page is for writing, nothing to hide
        setChanged(true);
        deckChanged();
    } else {
        if (pastLast && options.appendPastLast) prompt_.beep();  // the deck is full
        if (position < 0) currentPage_ = 0;
        if (currentPage_ > lastPage()) currentPage_ = lastPage();
    }
    arrangeCovers(options.uncovered);
    const Page& page = deck_.pages[storageIndex(currentPage_)];
    view_.setText(0, page.question);
    view_.setText(1, page.answer);
    view_.setStatus(statusText());
    view_.setNavigation(currentPage_ > 0, currentPage_ != lastPage(), currentPage_ == lastPage());
    showingPage_ = false;
}

void Document::arrangeCovers(bool uncovered) {
    if (hideMode_ != 0 && hideMode_ != 1) {
        view_.setCovered(0, false);
        view_.setCovered(1, false);
        return;
    }
    const int hidden = hideMode_, other = 1 - hidden;
    view_.setCovered(other, false);
    view_.setCovered(hidden, !uncovered);
}

void Document::uncoverHalf(int half) {
    // The keyboard first, so the box is filled while it has it, whatever
    // uncovered it (a key on the cover, a click, the uncover key).
    view_.focusText(half);
    view_.setCovered(half, false);
}

void Document::coverHalf(int half) {
    view_.setCovered(half, true);
}

void Document::textEdited() {
    if (showingPage_) return;
    setChanged(true);
    undoSnapshot_.reset();
}

void Document::deckChanged() {
    undoSnapshot_.reset();
    ++revision_;
}

std::string UndoCaption(const std::string& commandName) {
    return "元に戻す(&U)" + commandName;
}

void Document::takeUndoSnapshot(const std::string& commandName) {
    undoSnapshot_ = deck_;
    view_.setUndoCaption(UndoCaption(commandName));
}

void Document::removeCurrentPage(const std::string& commandName) {
    takeUndoSnapshot(commandName);
    RemovePage(deck_, currentPage_);
    ++revision_;
    if (currentPage_ > lastPage()) currentPage_ = lastPage();
    showPage(currentPage_);
    setChanged(true);
}

void Document::insertPage(Page page, const std::string& commandName) {
    takeUndoSnapshot(commandName);
    storeTypedText();
    InsertPage(deck_, currentPage_, std::move(page));
    ++revision_;
    showPage(currentPage_);
    setChanged(true);
}

void Document::applyOrder(const std::vector<int>& order, bool temporary) {
    if (!ApplyOrder(deck_, order, temporary)) return;
    currentPage_ = 0;
    showPage(currentPage_);
    deckChanged();
    setChanged(true);
}

void Document::undo() {
    if (!undoSnapshot_) return;
    deck_ = std::move(*undoSnapshot_);
    undoSnapshot_.reset();
    ++revision_;
    if (currentPage_ > lastPage()) currentPage_ = lastPage();
    showPage(currentPage_);
    // The restored deck differs from what was last saved.
    setChanged(true);
}

}  // namespace rvm
