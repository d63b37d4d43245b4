// Scripted stand-ins for the user and the window, for tests.
#pragma once

#include <deque>

#include "deck/Ui.h"

namespace rvm::test {

struct Asked { std::string text; Buttons buttons; Icon icon; Answer defaultButton; };

// The next scripted reply, or `fallback` once the script has run out.
template <class T> T take(std::deque<T>& q, T fallback) {
    if (q.empty()) return fallback;
    T v = std::move(q.front());
    q.pop_front();
    return v;
}

class FakePrompt : public Prompt {
public:
    std::deque<Answer> answers;  // given in turn; when empty the default button
    std::vector<Asked> asked;
    std::deque<OpenChoice> openChoices;
    std::deque<std::string> saveChoices;
    std::deque<TableChoice> tableChoices;
    std::deque<std::string> folderChoices;
    std::optional<std::string> clipboard;
    int beeps = 0, saveDialogs = 0, openDialogs = 0;
    bool startSucceeds = true, helpPageShows = true;
    std::vector<std::pair<std::string, std::vector<std::string>>> started;
    std::vector<std::function<void()>> failLater;  // one per start: the program failing after it
    std::vector<std::string> helpPages;  // shown in the program's own window
    std::string helpNotice;              // above the last of them

    Answer ask(const std::string& text, Buttons b, Icon i, Answer def) override {
        asked.push_back({text, b, i, def});
        return take(answers, def);
    }
    OpenChoice openFile() override { ++openDialogs; return take(openChoices, {}); }
    std::string saveFile() override { ++saveDialogs; return take(saveChoices, {}); }
    TableChoice tableFile(bool, const std::vector<std::string>&) override { return take(tableChoices, {}); }
    std::string chooseFolder(const std::string&, const std::string&) override { return take(folderChoices, {}); }
    std::optional<std::string> clipboardText() override { return clipboard; }
    void setClipboardText(const std::string& t) override { clipboard = t; }
    void beep() override { ++beeps; }
    bool startProgram(const std::string& p, const std::vector<std::string>& a,
                      std::function<void()> failed) override {
        started.emplace_back(p, a);
        failLater.push_back(std::move(failed));
        return startSucceeds;
    }
    bool showHelpPage(const std::string& path, const std::string& notice) override {
        helpPages.push_back(path);
        helpNotice = notice;
        return helpPageShows;
    }
};

class FakeView : public PageView {
public:
    std::string te[2];
    bool covered[2]{false, false};
    int focused = -1;
    std::string status, caption, undoCaption = "元に戻す(&U)";
    bool firstPrev = false, last = false, addLook = false, saveEnabled = false;

    std::string text(int k) override { return te[k]; }
    void setText(int k, const std::string& t) override { te[k] = t; }
    void setCovered(int k, bool c) override { covered[k] = c; }
    void focusText(int k) override { focused = k; }
    void setStatus(const std::string& s) override { status = s; }
    void setNavigation(bool fp, bool l, bool a) override { firstPrev = fp, last = l, addLook = a; }
    void setSaveEnabled(bool e) override { saveEnabled = e; }
    void setCaption(const std::string& c) override { caption = c; }
    void setUndoCaption(const std::string& c) override { undoCaption = c; }
};

}  // namespace rvm::test
