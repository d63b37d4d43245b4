#include "MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QShortcut>
#include <QVBoxLayout>

#include "Composition.h"
#include "DeckDrop.h"
#include "DrillKeys.h"
#include "Layout.h"
#include "widgets/Twips.h"
#include "PageHalf.h"
#include "RecentDecks.h"
#include "widgets/Pictures.h"
#include "Study.h"
#include "TextZoom.h"
#include "ViewSettings.h"
#include "deck/Text.h"
#include "deck/Ui.h"
#include "settings/Settings.h"
#include "dialogs/JumpDialog.h"
#include "dialogs/OrderDialog.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/SplashWindow.h"

namespace rvm {

namespace {
const char* const kKeyHints[3][4] = {
    {"F1 ヘルプ", "F2 新規", "F3 開く", "F4 保存"},
    {"F5 戻す", "F6 切取", "F7 コピー", "F8 貼付"},
    {"F9 挿入", "F10", "F11 順序", "F12 ｼﾞｬﾝﾌﾟ"},
};
}  // namespace

MainWindow::MainWindow(Prompt& prompt, const StartPaths& paths, QWidget* parent)
    : QMainWindow(parent),
      prompt(prompt),
      doc(*this, prompt),
      edits(doc, *this, prompt),
      files(doc, *this, prompt),
      help(prompt, paths.programDir),
      settingsPath_(paths.settingsPath) {
    runModal = [](QDialog& d) { d.exec(); };
    onEnd = [this] {
        close();
        QCoreApplication::quit();
    };
    buildMenus();
    buildToolBar();
    buildPage();
    buildStatusBars();
    keyHintTimer.setInterval(2500);
    connect(&keyHintTimer, &QTimer::timeout, this, &MainWindow::showNextKeyHints);
    keyHintTimer.start();
    setWindowIcon(pictures::appIcon());
    setCaption(std::string(kAppTitle) + " - [無題]");
    new DrillKeys(*this);
    new CompositionWatch(halfEdit[0], halfEdit[1], this);
    new DeckDrop(files, this, {halfEdit[0]->viewport(), halfEdit[1]->viewport()});
    textZoom = new TextZoom(halfEdit[0], halfEdit[1], this);
    viewSettings_ = std::make_unique<ViewSettings>(paths.viewSettingsPath);
    study = new Study(*this, paths.learnFolder, viewSettings_->memoryFolder());
    recentDecks = new RecentDecks(*this, viewSettings_->recentDecks());
    recentAction = fileMenu->insertMenu(importAction, recentDecks->menu);
    fileMenu->insertSeparator(importAction);
    files.deckOpened = [this] {
        study->deckOpened();
        recentDecks->remember(files.fileName());
    };
    files.deckSavedAs = [this] { recentDecks->remember(files.fileName()); };
    restoreGeometry(viewSettings_->windowGeometry());
    ViewSettings::fitToScreen(*this);
    if (viewSettings_->textPointSize()) textZoom->setPointSize(viewSettings_->textPointSize());
    study->setSettings(viewSettings_->study());
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::item(QMenu* menu, const char* caption, std::function<void()> handler, int key,
                          void (MainWindow::*opening)()) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    connect(a, &QAction::triggered, this, [handler = std::move(handler)] {
        FinishComposition();
        handler();
    });
    if (key) {
        // The menu shows the key; a window-wide shortcut runs the menu's
        // opening handler first, so a disabled item's key does nothing.
        a->setShortcut(QKeySequence(key));
        a->setShortcutContext(Qt::WidgetShortcut);
        auto* sc = new QShortcut(QKeySequence(key), this);
        connect(sc, &QShortcut::activated, this, [this, a, opening] {
            if (opening) (this->*opening)();
            if (a->isEnabled()) a->trigger();
        });
    }
    return a;
}

void MainWindow::buildMenus() {
    fileMenu = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    newAction = item(fileMenu, "新規作成(&N)", [this] { files.newDeck(); }, Qt::Key_F2);
    openAction = item(fileMenu, "開く(&O)...", [this] { files.openDeck(); }, Qt::Key_F3);
    saveAction = item(fileMenu, "上書き保存(&S)", [this] { files.save(); });
    saveAsAction = item(fileMenu, "名前を付けて保存(&A)...", [this] { files.saveAs(); }, Qt::Key_F4);
    fileMenu->addSeparator();
    importAction = item(fileMenu, "インポート(&I)...", [this] { files.importTable(); });
    exportAction = item(fileMenu, "エクスポート(&E)...", [this] { files.exportTable(); });
    fileMenu->addSeparator();
    exitAction = item(fileMenu, "終了(&X)", [this] { exitProgram(); });

    editMenu = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    connect(editMenu, &QMenu::aboutToShow, this, &MainWindow::updateEditMenu);
    auto edit = [this](const char* caption, std::function<void()> h, int key) {
        return item(editMenu, caption, std::move(h), key, &MainWindow::updateEditMenu);
    };
    undoAction = edit("元に戻す(&U)", [this] { doc.undo(); }, Qt::Key_F5);
    editMenu->addSeparator();
    cutAction = edit("ﾍﾟｰｼﾞを切り取り(&T)", [this] { edits.cutPage(); }, Qt::Key_F6);
    copyAction = edit("ﾍﾟｰｼﾞをｺﾋﾟｰ(&C)", [this] { edits.copyPage(); }, Qt::Key_F7);
    pasteAction = edit("ﾍﾟｰｼﾞを貼り付け(&P)", [this] { edits.pastePage(); }, Qt::Key_F8);
    editMenu->addSeparator();
    insertAction = edit("ﾍﾟｰｼﾞを挿入(&I)", [this] { edits.insertBlankPage(); }, Qt::Key_F9);
    deleteAction = edit("ﾍﾟｰｼﾞを削除(&D)", [this] { edits.deletePage(); }, 0);
    editMenu->addSeparator();
    orderAction = edit("順序変更(&O)...", [this] { changeOrder(); }, Qt::Key_F11);

    toolsMenu = menuBar()->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    connect(toolsMenu, &QMenu::aboutToShow, this, &MainWindow::updateToolsMenu);
    jumpAction = item(toolsMenu, "ｼﾞｬﾝﾌﾟ(&J)", [this] { jumpToPage(); }, Qt::Key_F12,
                      &MainWindow::updateToolsMenu);
    toolsMenu->addSeparator();
    optionsAction = item(toolsMenu, "ｵﾌﾟｼｮﾝ(&O)...", [this] { showOptions(); });

    helpMenu = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    helpContentsAction = item(helpMenu, "目次(&C)...", [this] { help.show(); }, Qt::Key_F1);
    helpMenu->addSeparator();
    aboutAction = item(helpMenu, "ﾊﾞｰｼﾞｮﾝ情報(&A)", [this] { showAbout(); });
}

void MainWindow::buildToolBar() {
    toolBar = addToolBar(QStringLiteral("ツールバー"));
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(16, 16));
    toolBar->toggleViewAction()->setVisible(false);
    // The button a narrow window shows for the buttons that do not fit.
    if (auto* more = toolBar->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("ほかのボタン"));
    setContextMenuPolicy(Qt::NoContextMenu);
    newButton = toolButton(1, "新規作成", [this] { files.newDeck(); });
    openButton = toolButton(2, "開く", [this] { files.openDeck(); });
    saveButton = toolButton(3, "上書き保存", [this] { files.save(); });
    toolBar->addSeparator();
    firstButton = toolButton(4, "最初へ", [this] { goToFirst(); });
    previousButton = toolButton(5, "前へ", [this] { goToPrevious(); });
    nextButton = toolButton(6, "次へ", [this] { goToNext(); });
    lastButton = toolButton(7, "最後へ", [this] { goToLast(); });
    toolBar->addSeparator();
    helpButton = toolButton(8, "ヘルプ", [this] { help.show(); });
    saveButton->setEnabled(false);
}

QAction* MainWindow::toolButton(int image, const char* tip, std::function<void()> handler) {
    QAction* a = toolBar->addAction(pictures::toolbarImage(image), QString::fromUtf8(tip));
    a->setToolTip(QString::fromUtf8(tip));
    connect(a, &QAction::triggered, this, [handler = std::move(handler)] {
        FinishComposition();
        handler();
    });
    return a;
}

void MainWindow::buildPage() {
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    pageArea = new QWidget(central);
    v->addWidget(pageArea, 1);
    setCentralWidget(central);

    const char* labels[2] = {"Question", "Answer"};
    const QString halves[2] = {QStringLiteral("問題"), QStringLiteral("答え")};
    for (int k = 0; k < 2; ++k) {
        halfLabel[k] = new QLabel(QString::fromUtf8(labels[k]), pageArea);
        coverAgain[k] = new PictureButton(PictureButton::Half::Open, halves[k] + "を閉める", pageArea);
        pictures::keepSharp(coverAgain[k], pictures::coverOn);
        coverAgain[k]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        halfEdit[k] = new QPlainTextEdit(pageArea);
        halfEdit[k]->setAccessibleName((k ? "下段（" : "上段（") + halves[k] + "）");
        halfEdit[k]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        halfEdit[k]->setTabChangesFocus(true);
        cover[k] = new PictureButton(PictureButton::Half::Hidden, halves[k] + "を開ける", pageArea);
        pictures::keepSharp(cover[k], pictures::cover);
        cover[k]->setAlignment(Qt::AlignCenter);
        cover[k]->setAutoFillBackground(true);  // hides the text box completely
        cover[k]->setFrameShape(QFrame::Panel);
        cover[k]->setFrameShadow(QFrame::Raised);
        half_[k] = new PageHalf(halfEdit[k], cover[k], coverAgain[k]);
        connect(cover[k], &PictureButton::clicked, this, [this, k] {
            FinishComposition();
            doc.uncoverHalf(k);
        });
        connect(coverAgain[k], &PictureButton::clicked, this, [this, k] {
            FinishComposition();
            doc.coverHalf(k);
        });
        connect(half_[k], &PageHalf::edited, this, [this] { doc.textEdited(); });
    }
    // A covered half's cover stands in its box's place.
    setTabOrder(halfEdit[0], cover[0]);
    setTabOrder(cover[0], halfEdit[1]);
    setTabOrder(halfEdit[1], cover[1]);
    halfEdit[0]->setFocus();  // ready to type the first question
    const double dx = logicalDpiX(), dy = logicalDpiY();
    pageArea->setMinimumSize(TwipsToPixels(kPageAreaMinWidth, dx),
                             TwipsToPixels(kPageAreaMinHeight, dy));
    pageArea->installEventFilter(this);
    resize(TwipsToPixels(6015, dx), TwipsToPixels(4710, dy) + menuBar()->sizeHint().height());
    layOutPage();
}

void MainWindow::buildStatusBars() {
    pageStatus = new QStatusBar(centralWidget());
    pageStatus->setSizeGripEnabled(false);
    pageStatus->setFixedHeight(TwipsToPixels(375, logicalDpiY()));
    centralWidget()->layout()->addWidget(pageStatus);
    keyHintBar = new QWidget(centralWidget());
    keyHintBar->setFixedHeight(TwipsToPixels(375, logicalDpiY()));
    auto* h = new QHBoxLayout(keyHintBar);
    h->setContentsMargins(2, 1, 2, 1);
    h->setSpacing(2);
    for (int p = 0; p < 4; ++p) {
        keyHintPanel[p] = new QLabel(QString::fromUtf8(kKeyHints[0][p]), keyHintBar);
        keyHintPanel[p]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        h->addWidget(keyHintPanel[p], 1);
    }
    centralWidget()->layout()->addWidget(keyHintBar);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == pageArea && e->type() == QEvent::Resize) layOutPage();
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::layOutPage() {
    if (isMinimized()) return;
    const double dx = logicalDpiX(), dy = logicalDpiY();
    PageLayout l = LayoutFor(PixelsToTwips(pageArea->width(), dx),
                             PixelsToTwips(pageArea->height(), dy));
    auto place = [&](QWidget* w, const TwipRect& r) {
        w->setGeometry(TwipsToPixels(r.left, dx), TwipsToPixels(r.top, dy),
                       TwipsToPixels(r.width, dx), TwipsToPixels(r.height, dy));
    };
    for (int k = 0; k < 2; ++k) {
        place(halfLabel[k], l.halfLabel[k]);
        place(coverAgain[k], l.coverAgain[k]);
        place(halfEdit[k], l.halfEdit[k]);
        place(cover[k], l.cover[k]);
    }
}

void MainWindow::start(const std::string& commandLine) {
    rng.seed(static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch()));
    const Settings settings = ReadSettingsFile(settingsPath_);
    doc.setHideMode(settings.hideMode);
    help.setBrowser(settings.helpBrowser);
    doc.setChanged(false);
    if (commandLine.empty() || !files.loadDeck(commandLine)) files.newDeck();
}

void MainWindow::moveTo(std::int32_t position, ShowOptions options) {
    study->leave();  // moving elsewhere ends a drill
    doc.showPage(position, options);
}

void MainWindow::goToFirst() { moveTo(0, {.storeTyped = true}); }
void MainWindow::goToPrevious() { moveTo(doc.currentPage() - 1, {.storeTyped = true}); }
void MainWindow::goToNext() { moveTo(doc.currentPage() + 1, {.storeTyped = true, .appendPastLast = true}); }
void MainWindow::goToLast() { moveTo(doc.lastPage(), {.storeTyped = true}); }

void MainWindow::exitProgram() {
    if (files.confirmExit()) endProgram();
}

void MainWindow::showNextKeyHints() {
    keyHintPhase = static_cast<std::uint8_t>(keyHintPhase + 1);
    if (keyHintPhase > 2) keyHintPhase = 0;
    for (int p = 0; p < 4; ++p) keyHintPanel[p]->setText(QString::fromUtf8(kKeyHints[keyHintPhase][p]));
}

void MainWindow::updateEditMenu() {
    EditMenuState st = edits.menuState();
    undoAction->setEnabled(st.undo);
    pasteAction->setEnabled(st.paste);
    cutAction->setEnabled(st.cut);
    deleteAction->setEnabled(st.del);
    orderAction->setEnabled(st.order);
}

void MainWindow::updateToolsMenu() {
    jumpAction->setEnabled(doc.lastPage() > 0);
}

OrderDialog* MainWindow::orderDialog() {
    if (!order_) order_ = new OrderDialog(doc, help, prompt, rng, this);
    return order_;
}

JumpDialog* MainWindow::jumpDialog() {
    if (!jump_) jump_ = new JumpDialog(doc, help, this);
    return jump_;
}

OptionsDialog* MainWindow::optionsDialog() {
    if (!options_) options_ = new OptionsDialog(doc, help, this);
    return options_;
}

// The Order and Jump dialogs list the pages: only for more than one, with
// what was typed kept, outside a drill.
template <class Dialog>
void MainWindow::showPageList(Dialog* (MainWindow::*dialog)()) {
    if (doc.lastPage() == 0) return;
    study->leave();
    doc.storeTypedText();
    (this->*dialog)()->prepare();
    runModal(*(this->*dialog)());
}

void MainWindow::changeOrder() { showPageList(&MainWindow::orderDialog); }

void MainWindow::jumpToPage() { showPageList(&MainWindow::jumpDialog); }

void MainWindow::showOptions() {
    optionsDialog()->prepare();
    runModal(*optionsDialog());
}

void MainWindow::showAbout() {
    if (!splash) splash = new SplashWindow();
    splash->showAsAbout(this);
    runModal(*splash);
}

bool MainWindow::isCovered(int k) const { return half_[k]->covered(); }

std::string MainWindow::text(int k) { return ToCrLf(half_[k]->text().toStdString()); }

void MainWindow::setText(int k, const std::string& text) {
    half_[k]->setText(QString::fromStdString(ToLf(text)));
}

void MainWindow::setCovered(int k, bool covered) {
    half_[k]->setCovered(covered);
    if (study) study->coversChanged();
}

void MainWindow::focusText(int k) { half_[k]->focus(); }

void MainWindow::setStatus(const std::string& text) {
    pageStatus->showMessage(QString::fromStdString(text));
}

void MainWindow::setNavigation(bool firstPrev, bool last, bool addLook) {
    firstButton->setEnabled(firstPrev);
    previousButton->setEnabled(firstPrev);
    lastButton->setEnabled(last);
    nextImage_ = addLook ? 9 : 6;
    nextButton->setIcon(pictures::toolbarImage(nextImage_));
    const QString tip = addLook ? QStringLiteral("問題追加") : QStringLiteral("次へ");
    nextButton->setToolTip(tip);
    nextButton->setText(tip);
}

void MainWindow::setSaveEnabled(bool enabled) {
    saveAction->setEnabled(enabled);
    saveButton->setEnabled(enabled);
}

void MainWindow::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void MainWindow::setUndoCaption(const std::string& caption) {
    undoAction->setText(QString::fromStdString(caption));
}

void MainWindow::endProgram() {
    WriteSettingsFile(settingsPath_, Settings{doc.hideMode(), help.browser()});
    ended_ = true;
    const int points = textZoom->pointSize();
    viewSettings_->setMemoryFolder(study->memoryFolder());
    viewSettings_->setRecentDecks(recentDecks->decks());
    viewSettings_->setStudy(study->settings());
    viewSettings_->write(saveGeometry(), points == textZoom->defaultSize() ? 0 : points);
    if (splash) splash->hide();
    onEnd();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // Every close request becomes the exit question; only its answers end
    // the program.
    if (ended_) {
        e->accept();
        return;
    }
    e->ignore();
    exitProgram();
}

}  // namespace rvm
