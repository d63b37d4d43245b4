// The Prompt of the real program: message boxes, file dialogs, the system
// clipboard and process start, all through Qt.
#pragma once

#include <QWidget>

#include "deck/Ui.h"

namespace rvm {

class QtPrompt : public Prompt {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    // A message during start-up must not hide behind the splash window.
    void setSplash(QWidget* splash) { splash_ = splash; }

    Answer ask(const std::string& text, Buttons buttons, Icon icon, Answer defaultButton) override;
    OpenChoice openFile() override;
    std::string saveFile() override;
    TableChoice tableFile(bool saving, const std::vector<std::string>& types) override;
    std::optional<std::string> clipboardText() override;
    void setClipboardText(const std::string& text) override;
    void beep() override;
    bool startDetached(const std::string& program, const std::vector<std::string>& args) override;

private:
    QWidget* parent_ = nullptr;
    QWidget* splash_ = nullptr;
    QString lastDir_;  // both file dialogs open where the last one ended
};

// The filter of both file dialogs.
QString DeckFilter();

}  // namespace rvm
