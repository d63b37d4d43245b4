// The deck of the main window, the page it shows and the undo snapshot.
// Everything that changes the deck goes through here, so the page shown,
// the status bar, the changed flag and the snapshot always agree. The
// window implements PageView; the file and edit commands, the dialogs and
// the drills are classes of their own that work through these functions.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Deck.h"
#include "Ui.h"

namespace rvm {

// How showPage treats the page it leaves and the one it shows.
struct ShowOptions {
    bool storeTyped = false;      // keep what was typed on the page being left
    bool appendPastLast = false;  // one past the last page appends a blank page
    bool uncovered = false;       // show the new page with nothing covered
};

class Document {
public:
    Document(PageView& view, Prompt& prompt);

    const Deck& deck() const { return deck_; }
    std::int32_t currentPage() const { return currentPage_; }  // the display position shown
    std::int32_t lastPage() const { return static_cast<std::int32_t>(deck_.displayOrder.size()) - 1; }
    int storageIndex(int displayPos) const;
    std::string statusText() const;
    // Counts every change of the pages' texts or of their set, so a view of
    // the deck (the drill's page keys) knows when to look again.
    std::uint64_t revision() const { return revision_; }
    // Told when what was typed into a page is kept: the page before and after.
    std::function<void(const Page& before, const Page& after)> pageEdited;

    bool changed() const { return changed_; }
    void setChanged(bool flag);
    // Which half a page shows covered: 0 the question, 1 the answer, 2 neither.
    std::int16_t hideMode() const { return hideMode_; }
    void setHideMode(std::int16_t mode) { hideMode_ = mode; }

    // Another deck takes the window's place (opened, imported or new): no
    // undo, shown from its first page. A deck that is no deck (no page, or
    // an order that is no permutation) is refused and false returned.
    bool replaceDeck(Deck deck, ShowOptions options = {});

    // Every command that moves to another page or changes the deck ends
    // here. A position out of range is clamped.
    void showPage(std::int32_t position, ShowOptions options = {});
    void storeTypedText();  // the text boxes' texts into the page shown
    void uncoverHalf(int half);
    void coverHalf(int half);
    void textEdited();

    // Changes of the set of pages. The ones with a command name can be
    // undone; the name goes into the undo item's caption.
    void removeCurrentPage(const std::string& commandName);
    void insertPage(Page page, const std::string& commandName);  // before the page shown
    // order holds the storage index for each display position; temporary
    // keeps the pages where they are stored. Not undoable.
    void applyOrder(const std::vector<int>& order, bool temporary);
    bool canUndo() const { return undoSnapshot_.has_value(); }
    void undo();

private:
    void takeUndoSnapshot(const std::string& commandName);
    void arrangeCovers(bool uncovered);
    void deckChanged();  // a change that cannot be undone

    PageView& view_;
    Prompt& prompt_;
    Deck deck_;
    // The deck as it was before the last page edit; none: nothing to undo.
    std::optional<Deck> undoSnapshot_;
    std::int32_t currentPage_ = 0;
    bool changed_ = false;
    bool showingPage_ = false;  // set while showPage fills the text boxes
    std::int16_t hideMode_ = 1;
    std::uint64_t revision_ = 0;
};

// The undo item's caption after the command named.
std::string UndoCaption(const std::string& commandName);

}  // namespace rvm
