#include "frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QShortcut>
#include <QVBoxLayout>

#include "DeckDrop.h"
#include "DrillKeys.h"
#include "Layout.h"
#include "Pictures.h"
#include "TextZoom.h"
#include "ViewSettings.h"
#include "deck/Module1.h"
#include "dialogs/Jump.h"
#include "dialogs/Order.h"
#include "dialogs/frmOptions.h"
#include "dialogs/frmSplash.h"

namespace rvm {

namespace {
const char* const kKeyHints[3][4] = {
    {"F1 ヘルプ", "F2 新規", "F3 開く", "F4 保存"},
    {"F5 戻す", "F6 切取", "F7 コピー", "F8 貼付"},
    {"F9 挿入", "F10", "F11 順序", "F12 ｼﾞｬﾝﾌﾟ"},
};
}  // namespace

void ClickLabel::mousePressEvent(QMouseEvent* e) {
    QLabel::mousePressEvent(e);
    emit clicked();
}

frmMain::frmMain(Prompt& prompt, const StartPaths& paths, QWidget* parent)
    : QMainWindow(parent), doc(*this, prompt) {
    doc.ProgramDir = paths.programDir;
    doc.SettingsPath = paths.settingsPath;
    runModal = [](QDialog& d) { d.exec(); };
    onEnd = [this] {
        close();
        QCoreApplication::quit();
    };
    buildMenus();
    buildToolBar();
    buildPage();
    buildStatusBars();
    Timer1.setInterval(2500);
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    Timer1.start();
    setWindowIcon(pictures::appIcon());
    setCaption(std::string(kAppTitle) + " - [無題]");
    new DrillKeys(*this);
    new DeckDrop(doc, this, {Te[0]->viewport(), Te[1]->viewport()});
    textZoom = new TextZoom(Te[0], Te[1], this);
    viewSettings_ = std::make_unique<ViewSettings>(paths.viewSettingsPath);
    restoreGeometry(viewSettings_->windowGeometry());
    if (viewSettings_->textPointSize()) textZoom->setPointSize(viewSettings_->textPointSize());
}

frmMain::~frmMain() = default;

QAction* frmMain::item(QMenu* menu, const char* caption, void (frmMain::*handler)(), int key,
                       void (frmMain::*opening)()) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    connect(a, &QAction::triggered, this, handler);
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

void frmMain::buildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    mnuFileNew = item(mnuFile, "新規作成(&N)", &frmMain::fileNew, Qt::Key_F2);
    mnuFileOpen = item(mnuFile, "開く(&O)...", &frmMain::fileOpen, Qt::Key_F3);
    mnuFileSave = item(mnuFile, "上書き保存(&S)", &frmMain::fileSave);
    mnuFileSaveAs = item(mnuFile, "名前を付けて保存(&A)...", &frmMain::fileSaveAs, Qt::Key_F4);
    mnuFile->addSeparator();
    mnuFileExit = item(mnuFile, "終了(&X)", &frmMain::fileExit);

    mnuEdit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    connect(mnuEdit, &QMenu::aboutToShow, this, &frmMain::mnuEdit_Click);
    auto edit = [this](const char* caption, void (frmMain::*h)(), int key) {
        return item(mnuEdit, caption, h, key, &frmMain::mnuEdit_Click);
    };
    mnuEditUndo = edit("元に戻す(&U)", &frmMain::editUndo, Qt::Key_F5);
    mnuEdit->addSeparator();
    mnuEditCut = edit("ﾍﾟｰｼﾞを切り取り(&T)", &frmMain::editCut, Qt::Key_F6);
    mnuEditCopy = edit("ﾍﾟｰｼﾞをｺﾋﾟｰ(&C)", &frmMain::editCopy, Qt::Key_F7);
    mnuEditPaste = edit("ﾍﾟｰｼﾞを貼り付け(&P)", &frmMain::editPaste, Qt::Key_F8);
    mnuEdit->addSeparator();
    mnuInsert = edit("ﾍﾟｰｼﾞを挿入(&I)", &frmMain::editInsert, Qt::Key_F9);
    mnuEditDel = edit("ﾍﾟｰｼﾞを削除(&D)", &frmMain::editDel, 0);
    mnuEdit->addSeparator();
    mnuEditOrder = edit("順序変更(&O)...", &frmMain::mnuEditOrder_Click, Qt::Key_F11);

    mnuTools = menuBar()->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    connect(mnuTools, &QMenu::aboutToShow, this, &frmMain::mnuTools_Click);
    mnuToolsJump = item(mnuTools, "ｼﾞｬﾝﾌﾟ(&J)", &frmMain::mnuToolsJump_Click, Qt::Key_F12,
                        &frmMain::mnuTools_Click);
    mnuTools->addSeparator();
    mnuToolsOptions = item(mnuTools, "ｵﾌﾟｼｮﾝ(&O)...", &frmMain::mnuToolsOptions_Click);

    mnuHelp = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    mnuHelpSearchForHelpOn = item(mnuHelp, "目次(&C)...", &frmMain::helpContents, Qt::Key_F1);
    mnuHelp->addSeparator();
    mnuHelpAbout = item(mnuHelp, "ﾊﾞｰｼﾞｮﾝ情報(&A)", &frmMain::mnuHelpAbout_Click);
}

void frmMain::buildToolBar() {
    tbToolBar = addToolBar(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->toggleViewAction()->setVisible(false);
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
            tbButton[n] = tbToolBar->addSeparator();
            continue;
        }
        QAction* a = tbToolBar->addAction(pictures::toolbarImage(buttons[n].image),
                                          QString::fromUtf8(buttons[n].tip));
        a->setToolTip(QString::fromUtf8(buttons[n].tip));
        connect(a, &QAction::triggered, this, [this, n] { tbToolBar_ButtonClick(n); });
        tbButton[n] = a;
    }
    tbButton[3]->setEnabled(false);
}

void frmMain::buildPage() {
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    pageArea = new QWidget(central);
    v->addWidget(pageArea, 1);
    setCentralWidget(central);

    const char* labels[2] = {"Question", "Answer"};
    for (int k = 0; k < 2; ++k) {
        Label1[k] = new QLabel(QString::fromUtf8(labels[k]), pageArea);
        CoverOn[k] = new ClickLabel(pageArea);
        pictures::keepSharp(CoverOn[k], pictures::coverOn);
        CoverOn[k]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        CoverOn[k]->setCursor(Qt::PointingHandCursor);
        Te[k] = new QPlainTextEdit(pageArea);
        Te[k]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        Te[k]->setTabChangesFocus(true);
        Cover[k] = new ClickLabel(pageArea);
        pictures::keepSharp(Cover[k], pictures::cover);
        Cover[k]->setAlignment(Qt::AlignCenter);
        Cover[k]->setAutoFillBackground(true);  // hides the text box completely
        Cover[k]->setFrameShape(QFrame::Panel);
        Cover[k]->setFrameShadow(QFrame::Raised);
        Cover[k]->setCursor(Qt::PointingHandCursor);
        connect(Cover[k], &ClickLabel::clicked, this, [this, k] { doc.Cover_Click(k); });
        connect(CoverOn[k], &ClickLabel::clicked, this, [this, k] { doc.CoverOn_Click(k); });
        connect(Te[k], &QPlainTextEdit::textChanged, this, [this, k] { doc.Te_Change(k); });
    }
    setTabOrder(Te[0], Te[1]);
    Te[0]->setFocus();  // ready to type the first question
    const double dx = logicalDpiX(), dy = logicalDpiY();
    pageArea->setMinimumSize(TwipsToPixels(kPageAreaMinWidth, dx),
                             TwipsToPixels(kPageAreaMinHeight, dy));
    pageArea->installEventFilter(this);
    resize(TwipsToPixels(6015, dx), TwipsToPixels(4710, dy) + menuBar()->sizeHint().height());
    Form_Resize();
}

void frmMain::buildStatusBars() {
    sbStatusBar = new QStatusBar(centralWidget());
    sbStatusBar->setSizeGripEnabled(false);
    sbStatusBar->setFixedHeight(TwipsToPixels(375, logicalDpiY()));
    centralWidget()->layout()->addWidget(sbStatusBar);
    SCKey = new QWidget(centralWidget());
    SCKey->setFixedHeight(TwipsToPixels(375, logicalDpiY()));
    auto* h = new QHBoxLayout(SCKey);
    h->setContentsMargins(2, 1, 2, 1);
    h->setSpacing(2);
    for (int p = 0; p < 4; ++p) {
        SCKeyPanel[p] = new QLabel(QString::fromUtf8(kKeyHints[0][p]), SCKey);
        SCKeyPanel[p]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        h->addWidget(SCKeyPanel[p], 1);
    }
    centralWidget()->layout()->addWidget(SCKey);
}

bool frmMain::eventFilter(QObject* watched, QEvent* e) {
    if (watched == pageArea && e->type() == QEvent::Resize) Form_Resize();
    return QMainWindow::eventFilter(watched, e);
}

void frmMain::Form_Resize() {
    if (isMinimized()) return;
    const double dx = logicalDpiX(), dy = logicalDpiY();
    PageLayout l = LayoutFor(PixelsToTwips(pageArea->width(), dx),
                             PixelsToTwips(pageArea->height(), dy));
    auto place = [&](QWidget* w, const TwipRect& r) {
        w->setGeometry(TwipsToPixels(r.left, dx), TwipsToPixels(r.top, dy),
                       TwipsToPixels(r.width, dx), TwipsToPixels(r.height, dy));
    };
    for (int k = 0; k < 2; ++k) {
        place(Label1[k], l.Label1[k]);
        place(CoverOn[k], l.CoverOn[k]);
        place(Te[k], l.Te[k]);
        place(Cover[k], l.Cover[k]);
    }
}

void frmMain::Form_Load(const std::string& commandLine) {
    doc.Rng.seed(static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch()));
    doc.ReadSettings();
    doc.SetChanged(false);
    if (commandLine.empty() || !doc.LoadW(commandLine)) doc.mnuFileNew_Click();
}

void frmMain::tbToolBar_ButtonClick(int Button) {
    switch (Button) {
    case 1: doc.mnuFileNew_Click(); break;
    case 2: doc.mnuFileOpen_Click(); break;
    case 3: doc.mnuFileSave_Click(); break;
    case 5: doc.CallTh(0, false, false, true); break;
    case 6: doc.CallTh(doc.NowPage - 1, false, false, true); break;
    case 7: doc.CallTh(doc.NowPage + 1, true, false, true); break;
    case 8: doc.CallTh(doc.MaxPage, false, false, true); break;
    case 10: doc.ShowHelp(); break;
    default: break;
    }
}

void frmMain::Timer1_Timer() {
    KeyPhase = static_cast<std::uint8_t>(KeyPhase + 1);
    if (KeyPhase > 2) KeyPhase = 0;
    for (int p = 0; p < 4; ++p) SCKeyPanel[p]->setText(QString::fromUtf8(kKeyHints[KeyPhase][p]));
}

void frmMain::mnuEdit_Click() {
    EditMenuState st = doc.mnuEdit_Click();
    mnuEditUndo->setEnabled(st.undo);
    mnuEditPaste->setEnabled(st.paste);
    mnuEditCut->setEnabled(st.cut);
    mnuEditDel->setEnabled(st.del);
    mnuEditOrder->setEnabled(st.order);
}

void frmMain::mnuTools_Click() {
    mnuToolsJump->setEnabled(doc.MaxPage > 0);
}

Order* frmMain::order() {
    if (!order_) order_ = new Order(doc, this);
    return order_;
}

Jump* frmMain::jump() {
    if (!jump_) jump_ = new Jump(doc, this);
    return jump_;
}

frmOptions* frmMain::options() {
    if (!options_) options_ = new frmOptions(doc, this);
    return options_;
}

void frmMain::mnuEditOrder_Click() {
    if (doc.MaxPage == 0) return;
    doc.StoreTexts();
    order()->ToOrder();
    runModal(*order());
}

void frmMain::mnuToolsJump_Click() {
    if (doc.MaxPage == 0) return;
    doc.StoreTexts();
    jump()->JumpPrepare();
    runModal(*jump());
}

void frmMain::mnuToolsOptions_Click() {
    options()->ThankYou();
    runModal(*options());
}

void frmMain::mnuHelpAbout_Click() {
    if (!splash) splash = new frmSplash();
    splash->showAsAbout(this);
    runModal(*splash);
}

std::string frmMain::text(int k) {
    return ToCrLf(Te[k]->toPlainText().toStdString());
}

void frmMain::setText(int k, const std::string& text) {
    Te[k]->setPlainText(QString::fromStdString(ToLf(text)));
}

void frmMain::setCovered(int k, bool covered) {
    covered_[k] = covered;
    Te[k]->setReadOnly(covered);  // nothing typed may change a text no one sees
    if (covered) {
        Cover[k]->show();
        Cover[k]->raise();
    } else {
        Cover[k]->lower();
        Cover[k]->hide();
    }
    CoverOn[k]->setVisible(!covered);
}

void frmMain::focusText(int k) { Te[k]->setFocus(); }

void frmMain::setStatus(const std::string& text) {
    sbStatusBar->showMessage(QString::fromStdString(text));
}

void frmMain::setNavigation(bool firstPrev, bool last, bool addLook) {
    tbButton[5]->setEnabled(firstPrev);
    tbButton[6]->setEnabled(firstPrev);
    tbButton[8]->setEnabled(last);
    nextImage_ = addLook ? 9 : 6;
    tbButton[7]->setIcon(pictures::toolbarImage(nextImage_));
    const QString tip = addLook ? QStringLiteral("問題追加") : QStringLiteral("次へ");
    tbButton[7]->setToolTip(tip);
    tbButton[7]->setText(tip);
}

void frmMain::setSaveEnabled(bool enabled) {
    mnuFileSave->setEnabled(enabled);
    tbButton[3]->setEnabled(enabled);
}

void frmMain::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void frmMain::setUndoCaption(const std::string& caption) {
    mnuEditUndo->setText(QString::fromStdString(caption));
}

void frmMain::endProgram() {
    const int points = textZoom->pointSize();
    viewSettings_->write(saveGeometry(), points == textZoom->defaultSize() ? 0 : points);
    if (splash) splash->hide();
    onEnd();
}

void frmMain::closeEvent(QCloseEvent* e) {
    // Every close request becomes the exit question; only its answers end
    // the program.
    if (doc.Ended) {
        e->accept();
        return;
    }
    e->ignore();
    doc.ConfirmExit();
}

}  // namespace rvm
