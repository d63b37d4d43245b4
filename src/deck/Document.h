// The deck and the document state of the main window, with every routine
// that works on them. The Qt main window owns one Document and implements
// its PageView; the routines of the other subsystems are members too and
// live in their own folders (files/, edit/, settings/).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
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

struct EditMenuState {
    bool undo = false, cut = false, paste = false, del = false, order = false;
};

class Document {
public:
    Document(PageView& view, Prompt& prompt);

    Deck deck;
    // The deck as it was before the last page edit; none: nothing to undo.
    std::optional<Deck> undoSnapshot;

    std::int32_t currentPage = 0;  // the display position shown
    bool changed = false;
    std::string fileName;
    bool openedReadOnly = false;
    bool showingPage = false;  // set while showPage fills the text boxes
    std::int16_t hideMode = 1;
    std::string helpBrowser;
    std::string helpBaseDir;   // where Help/ lives
    std::string settingsPath; // the settings file, read at start and written at the end
    std::mt19937 rng;         // seeded once at start-up

    // Deck model and document state.
    void setChanged(bool flag);
    void setFileName(const std::string& name);
    std::int32_t lastPage() const { return static_cast<std::int32_t>(deck.displayOrder.size()) - 1; }
    int storageIndex(int displayPos) const;
    std::string statusText() const;
    void makeBlankDeck();  // one blank page, nothing else

    // Page display and navigation; covers.
    // Every command that moves to another page or changes the deck ends
    // here. A position out of range is clamped.
    void showPage(std::int32_t position, ShowOptions options = {});
    void storeTypedText();  // the text boxes' texts into the page shown
    void uncoverHalf(int half);
    void coverHalf(int half);
    void textEdited();

    // Deck files.
    bool saveDeck(const std::string& path, bool askBeforeOverwrite);
    bool loadDeck(const std::string& path, bool readOnlyBox = false);
    // Asks before an existing file is replaced; false: the user said no.
    bool mayOverwrite(const std::string& path);
    // The deck file's bytes, asking first when characters would be lost;
    // false: the user said no.
    bool deckBytes(std::string& bytes);
    // Another program's table as a new, unsaved deck; the deck to one.
    void importTable();
    void exportTable();

    // File commands.
    void newDeck();
    void openDeck();
    void openDroppedDeck(const std::string& path);  // Open, with the path given
    void save();
    void saveAs();
    void confirmExit();
    bool ended = false;  // set once the program has been ended
    // Told when another deck takes the window (opened, or a new one), and
    // when this deck has been saved under another name.
    std::function<void()> deckOpened;
    std::function<void()> deckSavedAs;

    // Page edit commands and undo.
    EditMenuState editMenuState();
    void copyPage();
    void cutPage();
    void pastePage();
    void insertBlankPage();
    void deletePage();
    void removeCurrentPage(const std::string& commandName);
    void insertPageText(const std::string& pageText);
    void takeUndoSnapshot(const std::string& commandName);
    void clearUndo();
    void undo();

    // Re-ordering: order holds the storage index for each display position.
    void applyOrder(const std::vector<int>& order, bool temporary);
    std::vector<int> randomOrder();
    std::string rowText(int storageIndex) const;  // "  5:question"
    std::vector<std::string> pageRows() const;

    // Settings and help.
    void readSettings();
    void writeSettingsAndEnd();
    void showHelp();

    PageView& view;
    Prompt& prompt;

private:
    void arrangeCovers(bool uncovered);
};

std::string UndoCaption(const std::string& commandName);

}  // namespace rvm
