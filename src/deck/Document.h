// The deck and the document state of the main window, with every routine
// that works on them. The Qt main window owns one Document and implements
// its PageView; the routines of the other subsystems are members too and
// live in their own folders (files/, edit/, settings/).
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "Ui.h"

namespace rvm {

struct EditMenuState {
    bool undo = false, cut = false, paste = false, del = false, order = false;
};

class Document {
public:
    Document(PageView& view, Prompt& prompt);

    // The deck: texts by storage index, storage index by display position.
    std::vector<std::string> List1, List2;
    std::vector<int> List3;
    // The undo snapshot; B3 empty means nothing to undo.
    std::vector<std::string> B1, B2;
    std::vector<int> B3;
    // The reader's work list: one item per record of the last file read.
    std::vector<std::string> List4;

    std::int32_t NowPage = 0;
    std::int32_t MaxPage = 0;
    bool Changed = false;
    std::string FileName;
    bool OpenedReadOnly = false;
    bool Showing = false;
    std::int16_t HideMode = 1;
    std::string IEPlace;
    std::string ProgramDir;   // where Help/ lives
    std::string SettingsPath; // the settings file, read at start and written at the end
    std::mt19937 Rng;         // seeded once at start-up

    // Deck model and document state.
    void SetChanged(bool flag);
    void SetFileName(const std::string& name);
    int StorageIndex(int displayPos) const;
    std::string StatusText() const;
    void NewDeck();  // one blank page, nothing else

    // Page display and navigation; covers.
    void CallTh(std::int32_t i, bool AddIt, bool Looko, bool SaveOld);
    void StoreTexts();
    void Cover_Click(int Index);
    void CoverOn_Click(int Index);
    void Te_Change(int Index);

    // Deck files.
    bool SaveW(const std::string& sFile, bool CheckOverwrite);
    bool LoadW(const std::string& path, bool readOnlyBox = false);

    // File commands.
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void OpenDroppedDeck(const std::string& path);  // Open, with the path given
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void ConfirmExit();
    bool Ended = false;  // set once the program has been ended

    // Page edit commands and undo.
    EditMenuState mnuEdit_Click();
    void mnuEditCopy_Click();
    void mnuEditCut_Click();
    void mnuEditPaste_Click();
    void mnuInsert_Click();
    void mnuEditDel_Click();
    void DelPage(const std::string& sName);
    void InsPage(const std::string& sPage);
    void MakeUndo(const std::string& sName);
    void ClearUndo();
    void mnuEditUndo_Click();

    // Re-ordering: order holds the storage index for each display position.
    void ApplyOrder(const std::vector<int>& order, bool temporary);
    std::vector<int> RandomOrder();
    std::string RowText(int storageIndex) const;  // "  5:question"
    std::vector<std::string> JumpRows() const;

    // Settings and help.
    void ReadSettings();
    void SaveIniAndEnd();
    void ShowHelp();

    PageView& view;
    Prompt& prompt;

private:
    void arrangeCovers(bool Looko);
};

std::string UndoCaption(const std::string& sName);

}  // namespace rvm
