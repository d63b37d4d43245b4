// The main window: two page halves with their covers, the menu bar with
// its function keys, the toolbar and the two status bars. The deck and its
// commands live in the core (Document, FileCommands, PageEdits, Help); this
// class shows them and forwards the user's actions.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>

#include "deck/Document.h"
#include "edit/PageEdits.h"
#include "files/FileCommands.h"
#include "help/Help.h"
#include "widgets/PictureButton.h"

class QDialog;

namespace rvm {

class OrderDialog;
class JumpDialog;
class PageHalf;
class OptionsDialog;
class SplashWindow;
class RecentDecks;
class Study;
class TextZoom;
class ViewSettings;

struct StartPaths {
    std::string programDir;    // Help/Help.htm is found below it
    std::string settingsPath;  // Ravmemo.ini
    std::string viewSettingsPath = {};  // window place and text size; empty: not kept
    std::string learnFolder = {};       // the decks' learning histories; empty: kept in memory
};

class MainWindow : public QMainWindow, public PageView {
    Q_OBJECT
public:
    MainWindow(Prompt& prompt, const StartPaths& paths, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: settings, then the deck named by the command line or a new one.
    void start(const std::string& commandLine);

    Prompt& prompt;
    Document doc;
    PageEdits edits;
    FileCommands files;
    Help help;
    std::mt19937 rng;  // the Order dialog's random orders; seeded at start-up

    // Controls, index 0 for the upper half and 1 for the lower half.
    QLabel* halfLabel[2]{};
    PictureButton* coverAgain[2]{};
    QPlainTextEdit* halfEdit[2]{};
    PictureButton* cover[2]{};
    QWidget* pageArea = nullptr;
    QStatusBar* pageStatus = nullptr;
    QWidget* keyHintBar = nullptr;
    QLabel* keyHintPanel[4]{};
    QToolBar* toolBar = nullptr;
    QAction *newButton{}, *openButton{}, *saveButton{}, *firstButton{}, *previousButton{}, *nextButton{},
        *lastButton{}, *helpButton{};
    QTimer keyHintTimer;
    std::uint8_t keyHintPhase = 0;
    TextZoom* textZoom = nullptr;
    Study* study = nullptr;
    RecentDecks* recentDecks = nullptr;

    QMenu *fileMenu{}, *editMenu{}, *toolsMenu{}, *helpMenu{};
    QAction *newAction{}, *openAction{}, *saveAction{}, *saveAsAction{}, *exitAction{};
    QAction *importAction{}, *exportAction{}, *recentAction{};
    QAction *undoAction{}, *cutAction{}, *copyAction{}, *pasteAction{}, *insertAction{},
        *deleteAction{}, *orderAction{};
    QAction *jumpAction{}, *optionsAction{};
    QAction *helpContentsAction{}, *aboutAction{};

    // The dialogs, made on first use and afterwards only hidden.
    OrderDialog* orderDialog();
    JumpDialog* jumpDialog();
    OptionsDialog* optionsDialog();
    SplashWindow* splash = nullptr;

    // How modal dialogs are shown; tests answer them instead of a person.
    std::function<void(QDialog&)> runModal;
    // How the program ends once the settings are written.
    std::function<void()> onEnd;

    bool isCovered(int k) const;
    // The number of the toolbar image the next button shows (6, or 9 for
    // "add a question").
    int nextImage() const { return nextImage_; }
    bool ended() const { return ended_; }

    // Commands of the window itself, and the menus brought up to date.
    void goToFirst();
    void goToPrevious();
    void goToNext();  // on the last page: add one
    void goToLast();
    void exitProgram();  // the exit question, and the end if its answer says so
    void showNextKeyHints();
    void updateEditMenu();
    void updateToolsMenu();
    void changeOrder();
    void jumpToPage();
    void showOptions();
    void showAbout();
    void layOutPage();

    // PageView.
    std::string text(int k) override;
    void setText(int k, const std::string& text) override;
    void setCovered(int k, bool covered) override;
    void focusText(int k) override;
    void setStatus(const std::string& text) override;
    void setNavigation(bool firstPrev, bool last, bool addLook) override;
    void setSaveEnabled(bool enabled) override;
    void setCaption(const std::string& caption) override;
    void setUndoCaption(const std::string& caption) override;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildPage();
    void buildStatusBars();
    QAction* item(QMenu* menu, const char* caption, std::function<void()> handler, int key = 0,
                  void (MainWindow::*opening)() = nullptr);
    QAction* toolButton(int image, const char* tip, std::function<void()> handler);
    void moveTo(std::int32_t position, ShowOptions options);
    // Writes the settings and ends the program.
    void endProgram();
    template <class Dialog>
    void showPageList(Dialog* (MainWindow::*dialog)());

    OrderDialog* order_ = nullptr;
    JumpDialog* jump_ = nullptr;
    OptionsDialog* options_ = nullptr;
    std::unique_ptr<ViewSettings> viewSettings_;
    PageHalf* half_[2]{};
    std::string settingsPath_;
    int nextImage_ = 9;
    bool ended_ = false;
};

}  // namespace rvm
