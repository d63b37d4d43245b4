#include "Document.h"

#include "Module1.h"

namespace rvm {

Document::Document(PageView& v, Prompt& p) : view(v), prompt(p) {
    NewDeck();
}

void Document::SetChanged(bool flag) {
    Changed = flag;
    view.setSaveEnabled(flag);
}

void Document::SetFileName(const std::string& name) {
    FileName = name;
    view.setCaption(std::string(kAppTitle) + " - " + (name.empty() ? "[無題]" : name));
}

int Document::StorageIndex(int displayPos) const {
    // The lists are kept consistent; the clamp only keeps a broken list
    // from ever being read outside its bounds.
    if (displayPos < 0 || displayPos >= static_cast<int>(List3.size())) return 0;
    int s = List3[displayPos];
    if (s < 0 || s >= static_cast<int>(List1.size())) return 0;
    return s;
}

std::string Document::StatusText() const {
    return std::to_string(NowPage + 1) + "枚目  " + std::to_string(StorageIndex(NowPage) + 1) +
           "ページ  全" + std::to_string(MaxPage + 1) + "枚";
}

void Document::NewDeck() {
    List1.assign(1, "");
    List2.assign(1, "");
    List3.assign(1, 0);
    NowPage = 0;
    MaxPage = 0;
}

void Document::StoreTexts() {
    int s = StorageIndex(NowPage);
    List1[s] = view.text(0);
    List2[s] = view.text(1);
}

void Document::CallTh(std::int32_t i, bool AddIt, bool Looko, bool SaveOld) {
    Showing = true;
    if (SaveOld) StoreTexts();
    NowPage = i;
    if (i == MaxPage + 1 && AddIt && MaxPage + 1 < kMaxPages) {
        MaxPage = MaxPage + 1;
        List1.emplace_back();
        List2.emplace_back();
        List3.push_back(MaxPage);
        Looko = true;
        SetChanged(true);
        B3.clear();
    } else {
        if (i == MaxPage + 1 && AddIt) prompt.beep();  // the deck is full
        if (i < 0) NowPage = 0;
        if (NowPage > MaxPage) NowPage = MaxPage;
    }
    arrangeCovers(Looko);
    int s = StorageIndex(NowPage);
    view.setText(0, List1[s]);
    view.setText(1, List2[s]);
    view.setStatus(StatusText());
    view.setNavigation(NowPage > 0, NowPage != MaxPage, NowPage == MaxPage);
    Showing = false;
}

void Document::arrangeCovers(bool Looko) {
    if (HideMode != 0 && HideMode != 1) {
        view.setCovered(0, false);
        view.setCovered(1, false);
        return;
    }
    int h = HideMode, o = 1 - h;
    view.setCovered(o, false);
    view.setCovered(h, !Looko);
}

void Document::Cover_Click(int Index) {
    view.setCovered(Index, false);
    view.focusText(Index);
}

void Document::CoverOn_Click(int Index) {
    view.setCovered(Index, true);
}

void Document::Te_Change(int) {
    if (Showing) return;
    SetChanged(true);
    B3.clear();
}

}  // namespace rvm
