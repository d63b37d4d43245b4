// The two small interfaces through which the deck logic reaches the screen
// and the user. The Qt windows implement them; tests implement them with
// scripted fakes, so no logic needs a person or a display.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rvm {

inline constexpr const char* kAppTitle = "Ravolin Memorel";

enum class Icon { None, Question, Error, Warning };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

struct OpenChoice {
    std::string path;       // empty: the user cancelled
    bool readOnly = false;  // the read-only box of the Open dialog
};

struct TableChoice {
    std::string path;  // empty: the user cancelled
    int type = 0;      // which of the types offered
};

// Questions, messages, dialogs, clipboard and the outside world.
class Prompt {
public:
    virtual ~Prompt() = default;
    // A message box; the title is always the application title.
    virtual Answer ask(const std::string& text, Buttons buttons, Icon icon,
                       Answer defaultButton) = 0;
    virtual OpenChoice openFile() = 0;
    virtual std::string saveFile() = 0;  // empty: cancelled
    // A table file to import (or, saving, to export to), of one of the
    // types given as "name (*.ext *.ext)".
    virtual TableChoice tableFile(bool saving, const std::vector<std::string>& types) = 0;
    // A folder, starting from current; empty: cancelled.
    virtual std::string chooseFolder(const std::string& title, const std::string& current) = 0;
    // std::nullopt when the clipboard holds no text at all.
    virtual std::optional<std::string> clipboardText() = 0;
    virtual void setClipboardText(const std::string& text) = 0;
    virtual void beep() = 0;
    // Starts a program without waiting; false when it could not be started.
    // When it ends with an error soon after (a launcher that finds no
    // browser), failedLater runs, later, from the event loop.
    virtual bool startProgram(const std::string& program, const std::vector<std::string>& args,
                              std::function<void()> failedLater) = 0;
    // Shows an HTML page in a window of the program's own, with notice (why
    // no browser shows it; none when empty) above it; false when the page
    // cannot be read.
    virtual bool showHelpPage(const std::string& path, const std::string& notice) = 0;

    void message(const std::string& text, Icon icon) {
        ask(text, Buttons::Ok, icon, Answer::Ok);
    }
};

// What the main window shows of the deck. Texts cross this boundary with
// CR LF line breaks, as the deck holds them.
class PageView {
public:
    virtual ~PageView() = default;
    virtual std::string text(int k) = 0;
    virtual void setText(int k, const std::string& text) = 0;
    virtual void setCovered(int k, bool covered) = 0;
    virtual void focusText(int k) = 0;
    virtual void setStatus(const std::string& text) = 0;
    // The first and previous buttons, the last button, and the look of
    // the next button (true: the green "add a question" image).
    virtual void setNavigation(bool firstPrev, bool last, bool addLook) = 0;
    virtual void setSaveEnabled(bool enabled) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setUndoCaption(const std::string& caption) = 0;
};

}  // namespace rvm
