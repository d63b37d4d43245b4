// The main window: two page halves with their covers, the menu bar with
// its function keys, the toolbar and the two status bars. The deck logic
// lives in Document; this class shows it and forwards the user's actions.
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

#include "deck/Document.h"

class QDialog;

namespace rvm {

class Order;
class Jump;
class frmOptions;
class frmSplash;
class TextZoom;
class ViewSettings;

// A picture that takes clicks.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

struct StartPaths {
    std::string programDir;    // Help/Help.htm is found below it
    std::string settingsPath;  // Ravmemo.ini
    std::string viewSettingsPath = {};  // window place and text size; empty: not kept
};

class frmMain : public QMainWindow, public PageView {
    Q_OBJECT
public:
    frmMain(Prompt& prompt, const StartPaths& paths, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: settings, then the deck named by the command line or a new one.
    void Form_Load(const std::string& commandLine);

    Document doc;

    // Controls, index 0 for the upper half and 1 for the lower half.
    QLabel* Label1[2]{};
    ClickLabel* CoverOn[2]{};
    QPlainTextEdit* Te[2]{};
    ClickLabel* Cover[2]{};
    QWidget* pageArea = nullptr;
    QStatusBar* sbStatusBar = nullptr;
    QWidget* SCKey = nullptr;
    QLabel* SCKeyPanel[4]{};
    QToolBar* tbToolBar = nullptr;
    QAction* tbButton[11]{};  // 1..10; 4 and 9 are separators
    QTimer Timer1;
    std::uint8_t KeyPhase = 0;
    TextZoom* textZoom = nullptr;

    QMenu *mnuFile{}, *mnuEdit{}, *mnuTools{}, *mnuHelp{};
    QAction *mnuFileNew{}, *mnuFileOpen{}, *mnuFileSave{}, *mnuFileSaveAs{}, *mnuFileExit{};
    QAction *mnuEditUndo{}, *mnuEditCut{}, *mnuEditCopy{}, *mnuEditPaste{}, *mnuInsert{},
        *mnuEditDel{}, *mnuEditOrder{};
    QAction *mnuToolsJump{}, *mnuToolsOptions{};
    QAction *mnuHelpSearchForHelpOn{}, *mnuHelpAbout{};

    // The dialogs, made on first use and afterwards only hidden.
    Order* order();
    Jump* jump();
    frmOptions* options();
    frmSplash* splash = nullptr;

    // How modal dialogs are shown; tests answer them instead of a person.
    std::function<void(QDialog&)> runModal;
    // How the program ends once the settings are written.
    std::function<void()> onEnd;

    bool isCovered(int k) const { return covered_[k]; }
    // The number of the toolbar image button 7 shows (6 or 9).
    int nextImage() const { return nextImage_; }

    // Handlers.
    void tbToolBar_ButtonClick(int Button);
    void Timer1_Timer();
    void mnuEdit_Click();
    void mnuTools_Click();
    void mnuEditOrder_Click();
    void mnuToolsJump_Click();
    void mnuToolsOptions_Click();
    void mnuHelpAbout_Click();
    void Form_Resize();

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
    void endProgram() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildPage();
    void buildStatusBars();
    QAction* item(QMenu* menu, const char* caption, void (frmMain::*handler)(), int key = 0,
                  void (frmMain::*opening)() = nullptr);

    Order* order_ = nullptr;
    Jump* jump_ = nullptr;
    frmOptions* options_ = nullptr;
    std::unique_ptr<ViewSettings> viewSettings_;
    bool covered_[2]{false, false};
    int nextImage_ = 9;

    // Menu command wrappers for the Document's routines.
    void fileNew() { doc.mnuFileNew_Click(); }
    void fileOpen() { doc.mnuFileOpen_Click(); }
    void fileSave() { doc.mnuFileSave_Click(); }
    void fileSaveAs() { doc.mnuFileSaveAs_Click(); }
    void fileExit() { doc.ConfirmExit(); }
    void editUndo() { doc.mnuEditUndo_Click(); }
    void editCut() { doc.mnuEditCut_Click(); }
    void editCopy() { doc.mnuEditCopy_Click(); }
    void editPaste() { doc.mnuEditPaste_Click(); }
    void editInsert() { doc.mnuInsert_Click(); }
    void editDel() { doc.mnuEditDel_Click(); }
    void helpContents() { doc.ShowHelp(); }
};

}  // namespace rvm
