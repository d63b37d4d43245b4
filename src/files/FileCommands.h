// The File menu: New, Open, Save, Save As, Import, Export and the way out
// of the program, with their questions. Owns the deck's file name.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "deck/Document.h"
#include "files/FileIo.h"

namespace rvm {

class FileCommands {
public:
    FileCommands(Document& doc, PageView& view, Prompt& prompt) : doc_(doc), view_(view), prompt_(prompt) {}

    const std::string& fileName() const { return fileName_; }
    void setFileName(const std::string& name);  // the window's caption follows

    void newDeck();
    void openDeck();
    void openDroppedDeck(const std::string& path);  // Open, with the path given
    void save();
    void saveAs();
    void importTable();
    void exportTable();
    // The exit question; true when its answer ends the program (after a
    // save, where one was asked for).
    bool confirmExit();

    // The deck writer: path empty asks for a name. False when nothing was saved.
    bool saveDeck(const std::string& path, bool askBeforeOverwrite);
    // The deck reader; readOnlyBox as the Open dialog's box was. False when
    // the deck in the window stayed.
    bool loadDeck(const std::string& path, bool readOnlyBox = false);

    // Told when another deck takes the window (opened, or a new one), and
    // when this deck has been saved under another name.
    std::function<void()> deckOpened;
    std::function<void()> deckSavedAs;

private:
    // False when the user wanted to save and the save did not happen.
    bool askToSave();
    // Asks before an existing file is replaced; false: the user said no.
    bool mayOverwrite(const std::string& path);
    // The deck file's bytes, asking first when characters would be lost;
    // none: the user said no.
    std::optional<std::string> deckBytes();
    void opened(bool readOnly);
    // What a cut-off save left, told; the copy to open instead, or none.
    std::optional<std::string> askForSaveCopy(const std::string& path, const SaveLeftover& left);

    Document& doc_;
    PageView& view_;
    Prompt& prompt_;
    std::string fileName_;
    bool openedReadOnly_ = false;
};

}  // namespace rvm
