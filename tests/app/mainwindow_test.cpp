// The main window on the offscreen platform, driven as a user would.
#include <QtTest>

#include <QClipboard>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/Layout.h"
#include "app/QtPrompt.h"
#include "app/frmMain.h"
#include "dialogs/Jump.h"
#include "dialogs/Order.h"
#include "dialogs/frmOptions.h"
#include "dialogs/frmSplash.h"

using namespace rvm;
using namespace rvm::test;

namespace {
// The real clipboard, everything else scripted.
class ClipPrompt : public FakePrompt {
public:
    QtPrompt real;
    std::optional<std::string> clipboardText() override { return real.clipboardText(); }
    void setClipboardText(const std::string& t) override { real.setClipboardText(t); }
};

QStringList captions(QMenu* m) {
    QStringList out;
    for (QAction* a : m->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    TempDir dir;
    std::unique_ptr<ClipPrompt> prompt;
    std::unique_ptr<frmMain> w;
    int ends = 0;

    void start(const std::string& commandLine = "") {
        w.reset();
        prompt = std::make_unique<ClipPrompt>();
        w = std::make_unique<frmMain>(*prompt, StartPaths{dir.path.string(), dir.file("Ravmemo.ini")});
        w->onEnd = [this] { ++ends; };
        w->Form_Load(commandLine);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    std::string deckFile(const std::string& name, const std::string& bytes) {
        spit(dir.file(name), bytes);
        return dir.file(name);
    }
    void key(int k) { QTest::keyClick(w->Te[0], static_cast<Qt::Key>(k)); }

private slots:
    void cleanup() { w.reset(); }

    void startsWithABlankUntitledPage() {
        start();
        QCOMPARE(w->windowTitle(), QStringLiteral("Ravolin Memorel - [無題]"));
        QCOMPARE(w->sbStatusBar->currentMessage(), QStringLiteral("1枚目  1ページ  全1枚"));
        QVERIFY(!w->isCovered(0) && !w->isCovered(1));
        QVERIFY(w->Cover[1]->isHidden());
        QVERIFY(!w->CoverOn[1]->isHidden());
        QVERIFY(!w->mnuFileSave->isEnabled());
        QVERIFY(!w->tbButton[3]->isEnabled());
        QVERIFY(!w->tbButton[5]->isEnabled() && !w->tbButton[6]->isEnabled());
        QVERIFY(!w->tbButton[8]->isEnabled());
        QCOMPARE(w->tbButton[7]->toolTip(), QStringLiteral("問題追加"));
        QCOMPARE(w->nextImage(), 9);
        QCOMPARE(w->doc.HideMode, 1);
        QCOMPARE(w->windowIcon().isNull(), false);
    }

    void typingAndSteppingThroughADeck() {
        start();
        QTest::keyClicks(w->Te[0], "Q1");
        QVERIFY(w->mnuFileSave->isEnabled());
        QVERIFY(w->tbButton[3]->isEnabled());
        w->tbButton[7]->trigger();  // appends page 2
        QCOMPARE(w->doc.List1[0], std::string("Q1"));
        QCOMPARE(w->sbStatusBar->currentMessage(), QStringLiteral("2枚目  2ページ  全2枚"));
        QTest::keyClicks(w->Te[1], "line1");
        QTest::keyClick(w->Te[1], Qt::Key_Return);
        QTest::keyClicks(w->Te[1], "line2");
        w->tbButton[5]->trigger();
        QCOMPARE(w->doc.List2[1], std::string("line1\r\nline2"));
        QCOMPARE(w->Te[0]->toPlainText(), QStringLiteral("Q1"));
        QVERIFY(w->isCovered(1));
        QCOMPARE(w->tbButton[7]->toolTip(), QStringLiteral("次へ"));
        QCOMPARE(w->nextImage(), 6);
        QVERIFY(w->tbButton[8]->isEnabled());
        w->tbButton[8]->trigger();
        QCOMPARE(w->doc.NowPage, 1);
        w->tbButton[6]->trigger();
        QCOMPARE(w->doc.NowPage, 0);
        w->tbToolBar_ButtonClick(4);
        w->tbToolBar_ButtonClick(9);
        QCOMPARE(w->doc.NowPage, 0);
        QVERIFY(prompt->started.empty());
        w->tbToolBar_ButtonClick(10);
        QCOMPARE(prompt->started.size(), std::size_t(1));
    }

    void coversOpenAndClose() {
        start(deckFile("two.rvm", "\x1fQ\r\n\x1f" "A\r\n\x1f" "0\r\n\x1fQ2\r\n\x1f" "A2\r\n\x1f" "1\r\n"));
        QCOMPARE(w->windowTitle(), QString::fromStdString("Ravolin Memorel - " + dir.file("two.rvm")));
        QVERIFY(w->isCovered(1));
        QVERIFY(!w->Cover[1]->isHidden());
        QVERIFY(w->CoverOn[1]->isHidden());
        QTest::mouseClick(w->Cover[1], Qt::LeftButton);
        QVERIFY(!w->isCovered(1));
        QVERIFY(w->Te[1]->hasFocus());
        QVERIFY(!w->CoverOn[1]->isHidden());
        QTest::mouseClick(w->CoverOn[1], Qt::LeftButton);
        QVERIFY(w->isCovered(1));
        QVERIFY(w->Te[1]->hasFocus());  // covering leaves the focus alone
        QVERIFY(!w->doc.Changed);
        QCOMPARE(w->Cover[1]->geometry(), w->Te[1]->geometry());
    }

    void badCommandLinesGiveANewDeck() {
        start(dir.file("missing file.rvm"));
        QCOMPARE(prompt->asked.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(prompt->asked[0].text),
                 QString::fromStdString("[" + dir.file("missing file.rvm") + "]が見つかりません。"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Ravolin Memorel - [無題]"));
        const std::string quoted = "\"" + deckFile("q.rvm", "\x1f\r\n\x1f\r\n\x1f\r\n") + "\"";
        start(quoted);
        QCOMPARE(w->windowTitle(), QStringLiteral("Ravolin Memorel - [無題]"));
    }

    void layoutSharesExtraHeight() {
        start();
        const double dx = w->logicalDpiX(), dy = w->logicalDpiY();
        auto tw = [&](int px) { return PixelsToTwips(px, dx); };
        auto th = [&](int px) { return PixelsToTwips(px, dy); };
        w->resize(100, 100);  // far below the minimum
        QTest::qWait(20);
        QVERIFY(w->pageArea->width() >= TwipsToPixels(kPageAreaMinWidth, dx));
        QVERIFY(w->pageArea->height() >= TwipsToPixels(kPageAreaMinHeight, dy));
        const int minH = w->height();
        QVERIFY(std::abs(tw(w->Te[1]->width()) - 3855) <= 15);
        QVERIFY(std::abs(th(w->Te[1]->height()) - 1215) <= 15);
        QVERIFY(std::abs(th(w->Te[1]->y()) - 2100) <= 15);  // 2,520 below the toolbar
        const int extra = TwipsToPixels(1000, dy);
        w->resize(w->width(), minH + extra);
        QTest::qWait(20);
        QVERIFY(std::abs(th(w->Te[0]->height()) - 1715) <= 15);
        QVERIFY(std::abs(th(w->Te[1]->height()) - 1715) <= 15);
        QVERIFY(std::abs(th(w->Te[1]->y()) - 2600) <= 15);
        QCOMPARE(w->Label1[1]->y() + (w->Te[1]->y() - w->Label1[1]->y()), w->Te[1]->y());
        for (int k = 0; k < 2; ++k) QCOMPARE(w->Cover[k]->geometry(), w->Te[k]->geometry());
        const QRect before = w->Te[1]->geometry();
        w->showMinimized();
        QTest::qWait(20);
        w->showNormal();
        QTest::qWait(20);
        QCOMPARE(w->Te[1]->geometry(), before);

        PageLayout odd = LayoutFor(4095, kPageAreaMinHeight + 1);
        QCOMPARE(odd.Te[0].height, 1215.5);
        PageLayout small = LayoutFor(1000, 1000);
        QCOMPARE(small.Te[1].top, 2100.0);
        QCOMPARE(small.Te[1].width, 3855.0);
        QCOMPARE(small.Te[1].height, 1215.0);
    }

    void menuBarCaptionsInOrder() {
        start();
        QStringList menus;
        for (QAction* a : w->menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, (QStringList{"ﾌｧｲﾙ(&F)", "編集(&E)", "ﾂｰﾙ(&T)", "ﾍﾙﾌﾟ(&H)"}));
        QCOMPARE(captions(w->mnuFile), (QStringList{"新規作成(&N)", "開く(&O)...", "上書き保存(&S)",
                                                   "名前を付けて保存(&A)...", "-", "終了(&X)"}));
        QCOMPARE(captions(w->mnuEdit),
                 (QStringList{"元に戻す(&U)", "-", "ﾍﾟｰｼﾞを切り取り(&T)", "ﾍﾟｰｼﾞをｺﾋﾟｰ(&C)",
                              "ﾍﾟｰｼﾞを貼り付け(&P)", "-", "ﾍﾟｰｼﾞを挿入(&I)", "ﾍﾟｰｼﾞを削除(&D)", "-",
                              "順序変更(&O)..."}));
        QCOMPARE(captions(w->mnuTools), (QStringList{"ｼﾞｬﾝﾌﾟ(&J)", "-", "ｵﾌﾟｼｮﾝ(&O)..."}));
        QCOMPARE(captions(w->mnuHelp), (QStringList{"目次(&C)...", "-", "ﾊﾞｰｼﾞｮﾝ情報(&A)"}));
        QCOMPARE(w->mnuFileSaveAs->shortcut(), QKeySequence(Qt::Key_F4));
        QVERIFY(w->mnuFileSave->shortcut().isEmpty());
        QVERIFY(w->mnuEditDel->shortcut().isEmpty());
        QStringList tips;
        for (int n : {1, 2, 3, 5, 6, 8, 10}) tips << w->tbButton[n]->toolTip();
        QCOMPARE(tips, (QStringList{"新規作成", "開く", "上書き保存", "最初へ", "前へ", "最後へ", "ヘルプ"}));
        QVERIFY(w->tbButton[4]->isSeparator() && w->tbButton[9]->isSeparator());
    }

    void functionKeysRunTheirCommands() {
        start();
        key(Qt::Key_F6);  // one page: Cut is disabled
        QCOMPARE(w->doc.MaxPage, 0);
        key(Qt::Key_F12);  // one page: Jump is disabled
        key(Qt::Key_F9);   // insert
        QCOMPARE(w->doc.MaxPage, 1);
        w->mnuEdit_Click();
        QCOMPARE(w->mnuEditUndo->text(), QStringLiteral("元に戻す(&U)貼り付け"));
        key(Qt::Key_F5);  // undo
        QCOMPARE(w->doc.MaxPage, 0);
        key(Qt::Key_F5);  // nothing to undo
        QCOMPARE(w->doc.MaxPage, 0);
        w->mnuEdit_Click();
        QCOMPARE(w->mnuEditUndo->text(), QStringLiteral("元に戻す(&U)"));
        QVERIFY(!w->mnuEditUndo->isEnabled());

        w->tbButton[7]->trigger();
        w->mnuTools_Click();
        QVERIFY(w->mnuToolsJump->isEnabled());
        int jumps = 0;
        w->runModal = [&](QDialog& d) {
            if (dynamic_cast<Jump*>(&d)) ++jumps;
        };
        key(Qt::Key_F12);
        QCOMPARE(jumps, 1);
        key(Qt::Key_F1);
        QCOMPARE(prompt->started.size(), std::size_t(1));
        prompt->saveChoices = {};
        key(Qt::Key_F4);  // Save As
        QCOMPARE(prompt->saveDialogs, 1);
        key(Qt::Key_F3);  // Open: asks to save first (default Yes, dialog cancelled)
        QCOMPARE(prompt->saveDialogs, 2);
        QCOMPARE(prompt->openDialogs, 0);
        prompt->answers = {Answer::No};
        key(Qt::Key_F2);  // New
        QCOMPARE(w->doc.MaxPage, 0);
    }

    void clipboardRoundTrip() {
        start();
        QTest::keyClicks(w->Te[0], "apple");
        QTest::keyClick(w->Te[0], Qt::Key_Return);
        QTest::keyClicks(w->Te[0], "pie");
        w->Te[1]->insertPlainText(QStringLiteral("りんご"));
        key(Qt::Key_F7);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString::fromUtf8("\x1e" "apple\r\npie\x1e" "りんご"));
        QGuiApplication::clipboard()->setText(QString::fromUtf8("\x1e" "apple\npie\x1e" "りんご"));
        key(Qt::Key_F8);
        QCOMPARE(w->doc.MaxPage, 1);
        QCOMPARE(w->doc.List1[0], std::string("apple\r\npie"));
        QCOMPARE(w->doc.List2[0], std::string("りんご"));
        QGuiApplication::clipboard()->setText(QStringLiteral("not a page"));
        key(Qt::Key_F8);
        QCOMPARE(w->doc.MaxPage, 1);
        QCOMPARE(prompt->beeps, 0);  // disabled, so not even tried
    }

    void keyHintsCycle() {
        start();
        QCOMPARE(w->SCKeyPanel[0]->text(), QStringLiteral("F1 ヘルプ"));
        QCOMPARE(w->Timer1.interval(), 2500);
        QVERIFY(w->Timer1.isActive());
        w->Timer1_Timer();
        QCOMPARE(w->SCKeyPanel[2]->text(), QStringLiteral("F7 コピー"));
        w->Timer1_Timer();
        QCOMPARE(w->SCKeyPanel[1]->text(), QStringLiteral("F10"));
        QCOMPARE(w->SCKeyPanel[3]->text(), QStringLiteral("F12 ｼﾞｬﾝﾌﾟ"));
        w->Timer1_Timer();
        QCOMPARE(w->KeyPhase, std::uint8_t(0));
        QCOMPARE(w->SCKeyPanel[3]->text(), QStringLiteral("F4 保存"));
    }

    void closingGoesThroughTheExitQuestion() {
        start();
        w->close();
        QVERIFY(w->isVisible());
        QCOMPARE(QString::fromStdString(prompt->asked.back().text), QStringLiteral("終了しますか？"));
        QCOMPARE(ends, 0);
        prompt->answers = {Answer::Yes};
        w->close();
        QCOMPARE(ends, 1);
        QCOMPARE(QString::fromStdString(slurp(dir.file("Ravmemo.ini"))),
                 QStringLiteral("Hide = 1\r\nIEPlace = xdg-open\r\n"));
    }

    void optionsAndAboutFromTheMenus() {
        spit(dir.file("Ravmemo.ini"), "Hide = 2\r\nIEPlace = /bin/true\r\n");
        start();
        QCOMPARE(w->doc.HideMode, 2);
        w->runModal = [](QDialog& d) {
            auto* o = dynamic_cast<frmOptions*>(&d);
            QVERIFY(o);
            QVERIFY(o->Op[2]->isChecked());
            QCOMPARE(o->Text1->text(), QStringLiteral("/bin/true"));
            o->Op[0]->setChecked(true);
            o->cmdOK->click();
        };
        w->mnuToolsOptions_Click();
        QCOMPARE(w->doc.HideMode, 0);
        QVERIFY(!w->isCovered(0));  // takes effect at the next page display
        bool sawButton = false;
        w->runModal = [&](QDialog& d) {
            auto* s = dynamic_cast<frmSplash*>(&d);
            QVERIFY(s);
            sawButton = s->Command1->geometry().bottom() < s->height();
            QCOMPARE(s->lblVersion->text(), VersionText());
        };
        w->mnuHelpAbout_Click();
        QVERIFY(sawButton);
        QVERIFY(!w->splash->Command1->geometry().isEmpty());
        w->splash = nullptr;
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
