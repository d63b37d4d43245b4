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
#include "PageHalf.h"
#include "Pictures.h"
#include "Study.h"
#include "TextZoom.h"
#include "ViewSettings.h"
#include "deck/Text.h"
#include "deck/Ui.h"
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
    : QMainWindow(parent), doc(*this, prompt) {
    doc.helpBaseDir = paths.programDir;
    doc.settingsPath = paths.settingsPath;
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
    new DeckDrop(doc, this, {halfEdit[0]->viewport(), halfEdit[1]->viewport()});
    textZoom = new TextZoom(halfEdit[0], halfEdit[1], this);
    study = new Study(*this, paths.learnFolder);
    viewSettings_ = std::make_unique<ViewSettings>(paths.viewSettingsPath);
    restoreGeometry(viewSettings_->windowGeometry());
    ViewSettings::fitToScreen(*this);
    if (viewSettings_->textPointSize()) textZoom->setPointSize(viewSettings_->textPointSize());
    if (viewSettings_->newPagesPerDay() >= 0) study->newPagesPerDay = viewSettings_->newPagesPerDay();
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::item(QMenu* menu, const char* caption, void (MainWindow::*handler)(), int key,
                       void (MainWindow::*opening)()) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    connect(a, &QAction::triggered, this, [this, handler] {
        FinishComposition();
        (this->*handler)();
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
    newAction = item(fileMenu, "新規作成(&N)", &MainWindow::fileNew, Qt::Key_F2);
    openAction = item(fileMenu, "開く(&O)...", &MainWindow::fileOpen, Qt::Key_F3);
    saveAction = item(fileMenu, "上書き保存(&S)", &MainWindow::fileSave);
    saveAsAction = item(fileMenu, "名前を付けて保存(&A)...", &MainWindow::fileSaveAs, Qt::Key_F4);
    fileMenu->addSeparator();
    importAction = item(fileMenu, "インポート(&I)...", &MainWindow::fileImport);
    exportAction = item(fileMenu, "エクスポート(&E)...", &MainWindow::fileExport);
    fileMenu->addSeparator();
    exitAction = item(fileMenu, "終了(&X)", &MainWindow::fileExit);

    editMenu = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    connect(editMenu, &QMenu::aboutToShow, this, &MainWindow::updateEditMenu);
    auto edit = [this](const char* caption, void (MainWindow::*h)(), int key) {
        return item(editMenu, caption, h, key, &MainWindow::updateEditMenu);
    };
    undoAction = edit("元に戻す(&U)", &MainWindow::editUndo, Qt::Key_F5);
    editMenu->addSeparator();
    cutAction = edit("ﾍﾟｰｼﾞを切り取り(&T)", &MainWindow::editCut, Qt::Key_F6);
    copyAction = edit("ﾍﾟｰｼﾞをｺﾋﾟｰ(&C)", &MainWindow::editCopy, Qt::Key_F7);
    pasteAction = edit("ﾍﾟｰｼﾞを貼り付け(&P)", &MainWindow::editPaste, Qt::Key_F8);
    editMenu->addSeparator();
    insertAction = edit("ﾍﾟｰｼﾞを挿入(&I)", &MainWindow::editInsert, Qt::Key_F9);
    deleteAction = edit("ﾍﾟｰｼﾞを削除(&D)", &MainWindow::editDel, 0);
    editMenu->addSeparator();
    orderAction = edit("順序変更(&O)...", &MainWindow::changeOrder, Qt::Key_F11);

    toolsMenu = menuBar()->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    connect(toolsMenu, &QMenu::aboutToShow, this, &MainWindow::updateToolsMenu);
    jumpAction = item(toolsMenu, "ｼﾞｬﾝﾌﾟ(&J)", &MainWindow::jumpToPage, Qt::Key_F12,
                        &MainWindow::updateToolsMenu);
    toolsMenu->addSeparator();
    optionsAction = item(toolsMenu, "ｵﾌﾟｼｮﾝ(&O)...", &MainWindow::showOptions);

    helpMenu = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    helpContentsAction = item(helpMenu, "目次(&C)...", &MainWindow::helpContents, Qt::Key_F1);
    helpMenu->addSeparator();
    aboutAction = item(helpMenu, "ﾊﾞｰｼﾞｮﾝ情報(&A)", &MainWindow::showAbout);
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
    struct Btn {
        int image;
        const char* tip;
    };
    const Btn buttons[11] = {{0, nullptr},      {1, "新規作成"}, {2, "開く"},   {3, "上書き保存"},
                             {0, nullptr},      {4, "最初へ"},   {5, "前へ"},   {6, "次へ"},
                             {7, "最後へ"},     {0, nullptr},    {8, "ヘルプ"}};
    for (int n = 1; n <= 10; ++n) {
        if (!buttons[n].tip) {
            toolButton[n] = toolBar->addSeparator();
            continue;
        }
        QAction* a = toolBar->addAction(pictures::toolbarImage(buttons[n].image),
                                          QString::fromUtf8(buttons[n].tip));
        a->setToolTip(QString::fromUtf8(buttons[n].tip));
        connect(a, &QAction::triggered, this, [this, n] { runToolButton(n); });
        toolButton[n] = a;
    }
    toolButton[3]->setEnabled(false);
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
    doc.rng.seed(static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch()));
    doc.readSettings();
    doc.setChanged(false);
    if (commandLine.empty() || !doc.loadDeck(commandLine)) doc.newDeck();
}

void MainWindow::runToolButton(int number) {
    if (number >= 5 && number <= 8) study->leave();  // moving elsewhere ends a drill
    FinishComposition();
    switch (number) {
    case 1: doc.newDeck(); break;
    case 2: doc.openDeck(); break;
    case 3: doc.save(); break;
    case 5: doc.showPage(0, {.storeTyped = true}); break;
    case 6: doc.showPage(doc.currentPage - 1, {.storeTyped = true}); break;
    case 7: doc.showPage(doc.currentPage + 1, {.storeTyped = true, .appendPastLast = true}); break;
    case 8: doc.showPage(doc.lastPage(), {.storeTyped = true}); break;
    case 10: doc.showHelp(); break;
    default: break;
    }
}

void MainWindow::showNextKeyHints() {
    keyHintPhase = static_cast<std::uint8_t>(keyHintPhase + 1);
    if (keyHintPhase > 2) keyHintPhase = 0;
    for (int p = 0; p < 4; ++p) keyHintPanel[p]->setText(QString::fromUtf8(kKeyHints[keyHintPhase][p]));
}

void MainWindow::updateEditMenu() {
    EditMenuState st = doc.editMenuState();
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
    if (!order_) order_ = new OrderDialog(doc, this);
    return order_;
}

JumpDialog* MainWindow::jumpDialog() {
    if (!jump_) jump_ = new JumpDialog(doc, this);
    return jump_;
}

OptionsDialog* MainWindow::optionsDialog() {
    if (!options_) options_ = new OptionsDialog(doc, this);
    return options_;
}

void MainWindow::changeOrder() {
    if (doc.lastPage() == 0) return;
    study->leave();
    doc.storeTypedText();
    orderDialog()->prepare();
    runModal(*orderDialog());
}

void MainWindow::jumpToPage() {
    if (doc.lastPage() == 0) return;
    study->leave();
    doc.storeTypedText();
    jumpDialog()->prepare();
    runModal(*jumpDialog());
}

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

void MainWindow::setCovered(int k, bool covered) { half_[k]->setCovered(covered); }

void MainWindow::focusText(int k) { halfEdit[k]->setFocus(); }

void MainWindow::setStatus(const std::string& text) {
    pageStatus->showMessage(QString::fromStdString(text));
}

void MainWindow::setNavigation(bool firstPrev, bool last, bool addLook) {
    toolButton[5]->setEnabled(firstPrev);
    toolButton[6]->setEnabled(firstPrev);
    toolButton[8]->setEnabled(last);
    nextImage_ = addLook ? 9 : 6;
    toolButton[7]->setIcon(pictures::toolbarImage(nextImage_));
    const QString tip = addLook ? QStringLiteral("問題追加") : QStringLiteral("次へ");
    toolButton[7]->setToolTip(tip);
    toolButton[7]->setText(tip);
}

void MainWindow::setSaveEnabled(bool enabled) {
    saveAction->setEnabled(enabled);
    toolButton[3]->setEnabled(enabled);
}

void MainWindow::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void MainWindow::setUndoCaption(const std::string& caption) {
    undoAction->setText(QString::fromStdString(caption));
}

void MainWindow::endProgram() {
    const int points = textZoom->pointSize();
    const int newPages = study->newPagesPerDay;
    viewSettings_->write(saveGeometry(), points == textZoom->defaultSize() ? 0 : points,
                         newPages == learn::kNewPagesPerDay ? -1 : newPages);
    if (splash) splash->hide();
    onEnd();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // Every close request becomes the exit question; only its answers end
    // the program.
    if (doc.ended) {
        e->accept();
        return;
    }
    e->ignore();
    doc.confirmExit();
}

}  // namespace rvm
