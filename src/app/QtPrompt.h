// The Prompt of the real program: message boxes, file dialogs, the system
// clipboard, process start and the help window, all through Qt.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "HelpWindow.h"
#include "deck/Ui.h"

namespace rvm {

class QtPrompt : public Prompt {
public:
    ~QtPrompt() override;
    void setParent(QWidget* parent) { parent_ = parent; }
    // A message during start-up must not hide behind the splash window.
    void setSplash(QWidget* splash) { splash_ = splash; }

    Answer ask(const std::string& text, Buttons buttons, Icon icon, Answer defaultButton) override;
    OpenChoice openFile() override;
    std::string saveFile() override;
    TableChoice tableFile(bool saving, const std::vector<std::string>& types) override;
    std::string chooseFolder(const std::string& title, const std::string& current) override;
    std::optional<std::string> clipboardText() override;
    void setClipboardText(const std::string& text) override;
    void beep() override;
    bool startProgram(const std::string& program, const std::vector<std::string>& args,
                      std::function<void()> failedLater) override;
    bool showHelpPage(const std::string& path, const std::string& notice) override;

    // How long a started program is watched: a browser still running then
    // is taken to show the page, and how it ends later counts for nothing.
    int watchMs = 10000;
    HelpWindow* helpWindow() const { return help_; }

private:
    QObject watching_;  // the context of the watches: none runs once this prompt is gone
    QPointer<HelpWindow> help_;
    QWidget* parent_ = nullptr;
    QWidget* splash_ = nullptr;
    QString lastDir_;  // both file dialogs open where the last one ended
};

// The filter of both file dialogs.
QString DeckFilter();

}  // namespace rvm
