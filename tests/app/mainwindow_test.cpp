// The main window on the offscreen platform, driven as a user would.
#include <QtTest>

#include <QClipboard>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/Layout.h"
#include "app/QtPrompt.h"
#include "app/frmMain.h"
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
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    TempDir dir;
    std::unique_ptr<ClipPrompt> prompt;
    std::unique_ptr<frmMain> w;
    int ends = 0;
    QStringList dialogs;  // the modal dialogs shown, by class

    void start(const std::string& commandLine = "") {
        w.reset();
        prompt = std::make_unique<ClipPrompt>();
        w = std::make_unique<frmMain>(*prompt, StartPaths{dir.path.string(), dir.file("Ravmemo.ini")});
        w->onEnd = [this] { ++ends; };
        dialogs.clear();
        w->runModal = [this](QDialog& d) { dialogs << d.metaObject()->className(); };
        w->Form_Load(commandLine);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    void key(int k) { QTest::keyClick(w->Te[0], static_cast<Qt::Key>(k)); }
    QString status() const { return w->sbStatusBar->currentMessage(); }
    bool covered(int k) const {
        return w->isCovered(k) && w->Cover[k]->isVisible() && w->CoverOn[k]->isHidden();
    }

private slots:
    void cleanup() { w.reset(); }

    void aMissingOrQuotedFileGivesANewDeck() {
        start(dir.file("missing file.rvm"));
        QCOMPARE(prompt->asked.at(0).text,
                 "[" + dir.file("missing file.rvm") + "]が見つかりません。");
        spit(dir.file("q.rvm"), "\x1f\r\n\x1f\r\n\x1f" "0\r\n");
        start("\"" + dir.file("q.rvm") + "\"");  // the whole text is the path, quotes and all
        QCOMPARE(w->windowTitle(), QStringLiteral("Ravolin Memorel - [無題]"));
        QCOMPARE(status(), QStringLiteral("1枚目  1ページ  全1枚"));
        QVERIFY(!w->isCovered(0) && !w->isCovered(1) && !w->mnuFileSave->isEnabled());
        QVERIFY(!w->tbButton[5]->isEnabled() && !w->tbButton[8]->isEnabled());
        QCOMPARE(w->nextImage(), 9);  // Next adds a page
    }

    void aDeckIsCoveredSteppedThroughAndTypedInto() {
        const std::string two = dir.file("two.rvm");
        spit(two, "\x1fQ1\r\n\x1f" "A1\r\n\x1f" "0\r\n\x1fQ2\r\n\x1f" "A2\r\n\x1f" "1\r\n");
        start(two);
        QCOMPARE(w->windowTitle(), QString::fromStdString("Ravolin Memorel - " + two));
        QVERIFY(covered(1) && !w->doc.Changed);  // filling the boxes is no change
        QTest::mouseClick(w->Cover[1], Qt::LeftButton);
        QVERIFY(!w->isCovered(1) && !w->CoverOn[1]->isHidden() && w->Te[1]->hasFocus());
        QTest::mouseClick(w->CoverOn[1], Qt::LeftButton);
        QVERIFY(covered(1) && w->Te[1]->hasFocus());  // covering leaves the focus alone
        QTest::keyClicks(w->Te[0], "x");
        QTest::keyClick(w->Te[0], Qt::Key_Return);
        QVERIFY(w->mnuFileSave->isEnabled() && w->tbButton[3]->isEnabled());
        QCOMPARE(w->nextImage(), 6);
        w->tbButton[7]->trigger();
        QVERIFY(w->tbButton[5]->isEnabled() && !w->tbButton[8]->isEnabled());
        QCOMPARE(w->nextImage(), 9);
        w->tbButton[7]->trigger();  // on the last page Next adds one
        QCOMPARE(status(), QStringLiteral("3枚目  3ページ  全3枚"));
        w->tbButton[5]->trigger();
        QCOMPARE(w->doc.List1[0], std::string("x\r\nQ1"));
        w->tbButton[8]->trigger();
        w->tbButton[6]->trigger();
        QCOMPARE(status(), QStringLiteral("2枚目  2ページ  全3枚"));
    }

    // Height beyond the minimum goes half to each text box, width to both.
    void layoutSharesExtraHeight() {
        const PageLayout small = LayoutFor(1000, 1000);  // clamped to the minimum
        QVERIFY(small.Te[1].height == 1215 && small.Te[1].width == 3855);
        QCOMPARE(LayoutFor(4095, kPageAreaMinHeight + 1).Te[0].height, 1215.5);  // odd: halves
        start();
        const double dy = w->logicalDpiY();
        w->resize(100, 100);  // far below the minimum
        QTest::qWait(20);
        w->resize(w->width(), w->height() + TwipsToPixels(1000, dy));
        QTest::qWait(20);
        for (int k = 0; k < 2; ++k) {
            QVERIFY(std::abs(PixelsToTwips(w->Te[k]->height(), dy) - 1715) <= 15);
            QCOMPARE(w->Cover[k]->geometry(), w->Te[k]->geometry());
        }
        QVERIFY(std::abs(PixelsToTwips(w->Te[1]->y(), dy) - 2600) <= 15);
    }

    // A key runs its menu command only where the menu would offer it.
    void functionKeysRunTheirCommands_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QList<int>>("counts");  // pages, Save As and Open dialogs, help started
        QTest::addColumn<QStringList>("shown");
        auto row = [](const char* name, QList<int> keys, QList<int> counts,
                      QStringList shown = {}) { QTest::newRow(name) << keys << counts << shown; };
        row("one page: no cut, order or jump", {Qt::Key_F6, Qt::Key_F11, Qt::Key_F12}, {1, 0, 0, 0});
        row("insert", {Qt::Key_F9}, {2, 0, 0, 0});
        row("undo only once", {Qt::Key_F9, Qt::Key_F5, Qt::Key_F5}, {1, 0, 0, 0});
        row("cut", {Qt::Key_F9, Qt::Key_F6}, {1, 0, 0, 0});
        row("Delete stays in the text", {Qt::Key_F9, Qt::Key_Delete}, {2, 0, 0, 0});
        row("order, jump", {Qt::Key_F9, Qt::Key_F11, Qt::Key_F12}, {2, 0, 0, 0},
            {"rvm::Order", "rvm::Jump"});
        row("help", {Qt::Key_F1}, {1, 0, 0, 1});
        row("save as", {Qt::Key_F4}, {1, 1, 0, 0});
        row("open", {Qt::Key_F3}, {1, 0, 1, 0});
        row("new asks to save first", {Qt::Key_F9, Qt::Key_F2}, {2, 1, 0, 0});
    }
    void functionKeysRunTheirCommands() {
        QFETCH(QList<int>, keys);
        QFETCH(QList<int>, counts);
        QFETCH(QStringList, shown);
        start();
        for (int k : keys) key(k);
        const int helps = static_cast<int>(prompt->started.size());
        QCOMPARE((QList<int>{w->doc.MaxPage + 1, prompt->saveDialogs, prompt->openDialogs, helps}),
                 counts);
        QCOMPARE(dialogs, shown);
    }

    void clipboardRoundTrip() {
        start();
        QTest::keyClicks(w->Te[0], "apple");
        QTest::keyClick(w->Te[0], Qt::Key_Return);
        key(Qt::Key_F7);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("\x1e" "apple\r\n\x1e"));
        QGuiApplication::clipboard()->setText(QString::fromUtf8("\x1e" "a\nb\x1e" "りんご"));
        key(Qt::Key_F8);
        QVERIFY(w->doc.List1[0] == "a\r\nb" && w->doc.List2[0] == "りんご");
        QGuiApplication::clipboard()->setText(QStringLiteral("not a page"));
        key(Qt::Key_F8);
        QVERIFY(w->doc.MaxPage == 1 && prompt->beeps == 0);  // disabled, so not even tried
    }

    void closingGoesThroughTheExitQuestion() {
        start();
        w->close();
        QVERIFY(w->isVisible() && ends == 0);
        QCOMPARE(prompt->asked.back().text, std::string("終了しますか？"));
        prompt->answers = {Answer::Yes};
        w->close();
        QCOMPARE(ends, 1);
    }

    void optionsAndAboutFromTheMenus() {
        spit(dir.file("Ravmemo.ini"), "Hide = 2\r\nIEPlace = /bin/true\r\n");
        start();
        int shown = 0;
        w->runModal = [&shown](QDialog& d) {  // the choice is dropped, then taken
            auto& o = dynamic_cast<frmOptions&>(d);
            QVERIFY(o.Op[2]->isChecked() && o.Text1->text() == "/bin/true");
            o.Op[0]->setChecked(true);
            o.Text1->setText("/bin/x");
            (shown++ ? o.cmdOK : o.cmdCancel)->click();
        };
        w->mnuToolsOptions_Click();
        QCOMPARE(w->doc.HideMode, 2);
        w->mnuToolsOptions_Click();
        QVERIFY(w->doc.HideMode == 0 && w->doc.IEPlace == "/bin/x");
        QVERIFY(!w->isCovered(0));  // takes effect at the next page display
        w->runModal = [](QDialog& d) {
            auto& s = dynamic_cast<frmSplash&>(d);
            QVERIFY(s.Command1->geometry().bottom() < s.height());  // About shows the OK button
            QCOMPARE(s.lblVersion->text(), VersionText());
        };
        w->mnuHelpAbout_Click();
        w->splash = nullptr;
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
