// Drilling from the keyboard, text zoom, and decks dropped on the window.
#include <QtTest>

#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/DrillKeys.h"
#include "app/TextZoom.h"
#include "app/frmMain.h"
#include "dialogs/Jump.h"

using namespace rvm;
using namespace rvm::test;

namespace {
// Three pages: Q1/A1, Q2/A2, Q3/A3.
const char* const kDeck =
    "\x1fQ1\r\n\x1f" "A1\r\n\x1f" "0\r\n\x1fQ2\r\n\x1f" "A2\r\n\x1f" "1\r\n\x1fQ3\r\n\x1f" "A3\r\n\x1f" "2\r\n";

// Everything a user could see change, to compare a key with its button.
struct Seen {
    int page, maxPage;
    bool covered0, covered1, changed;
    QString te0, te1, status;
    std::vector<std::string> list1, list2;
    bool operator==(const Seen&) const = default;
};
}  // namespace

Q_DECLARE_METATYPE(std::vector<int>)

class DrillTest : public QObject {
    Q_OBJECT

    TempDir dir;
    FakePrompt prompt;
    std::unique_ptr<frmMain> w;

    void start(const std::string& commandLine = "") {
        w.reset();
        w = std::make_unique<frmMain>(prompt, StartPaths{dir.path.string(), dir.file("Ravmemo.ini"),
                                                         dir.file("view.conf")});
        w->onEnd = [] {};
        w->Form_Load(commandLine);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    std::string deck() {
        spit(dir.file("three.rvm"), kDeck);
        return dir.file("three.rvm");
    }
    // Page p of the deck in the given hide mode, the keyboard in half `from`.
    void drillAt(int hideMode, int page, int from) {
        start(deck());
        w->doc.HideMode = static_cast<std::int16_t>(hideMode);
        w->doc.CallTh(page, false, false, false);
        w->Te[from]->setFocus();
        QVERIFY(w->Te[from]->hasFocus());
    }
    Seen seen() {
        return {w->doc.NowPage, w->doc.MaxPage, w->isCovered(0), w->isCovered(1), w->doc.Changed,
                w->Te[0]->toPlainText(), w->Te[1]->toPlainText(), w->sbStatusBar->currentMessage(),
                w->doc.List1, w->doc.List2};
    }

private slots:
    void cleanup() {
        w.reset();
        prompt = FakePrompt();
    }

    // Tab reaches a covered half; there nothing typed changes the text, and
    // only Space or Enter open it, as a click on the cover does.
    void keysOnACoveredHalf_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("opens");
        QTest::newRow("letters") << "xyz" << 0 << 0 << false;
        QTest::newRow("backspace") << "" << int(Qt::Key_Backspace) << 0 << false;
        QTest::newRow("delete") << "" << int(Qt::Key_Delete) << 0 << false;
        QTest::newRow("paste") << "" << int(Qt::Key_V) << int(Qt::ControlModifier) << false;
        QTest::newRow("shift+space, an input method key") << "" << int(Qt::Key_Space)
                                                          << int(Qt::ShiftModifier) << false;
        QTest::newRow("space") << "" << int(Qt::Key_Space) << 0 << true;
        QTest::newRow("return") << "" << int(Qt::Key_Return) << 0 << true;
        QTest::newRow("keypad enter") << "" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
    }
    void keysOnACoveredHalf() {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, opens);
        start(deck());
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        w->doc.MakeUndo("貼り付け");
        QTest::keyClick(w->Te[0], Qt::Key_Tab);
        QVERIFY(w->Te[1]->hasFocus());
        QVERIFY(w->isCovered(1));
        if (!typed.isEmpty()) QTest::keyClicks(w->Te[1], typed);
        if (key) QTest::keyClick(w->Te[1], Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w->isCovered(1), !opens);
        QVERIFY(w->Te[1]->hasFocus());
        QCOMPARE(w->Te[1]->toPlainText(), QStringLiteral("A1"));
        QVERIFY(!w->doc.Changed);
        QVERIFY(!w->doc.B3.empty());  // the undo snapshot is kept
        QCOMPARE(w->Te[1]->isReadOnly(), !opens);
        if (opens) {  // open, it takes typing at once
            QTest::keyClicks(w->Te[1], "!");
            QCOMPARE(w->Te[1]->toPlainText(), QStringLiteral("!A1"));
            QVERIFY(w->doc.Changed);
        }
    }

    // Each drill key does exactly what its button or a click does, from
    // either text box, with unstored text in it, and types nothing.
    void drillKeysActAsTheirButtons_data() {
        QTest::addColumn<int>("hideMode");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("uncovered");  // the hidden half opened by hand first
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("same");  // button n, cover k, close k, or nothing
        const int ctrl = Qt::ControlModifier;
        for (int from : {0, 1}) {
            const QByteArray in = from ? " (from the answer)" : " (from the question)";
            QTest::newRow("next" + in) << 1 << 0 << true << int(Qt::Key_PageDown) << ctrl << "button 7";
            QTest::newRow("next on the last page appends" + in)
                << 1 << 2 << true << int(Qt::Key_PageDown) << ctrl << "button 7";
            QTest::newRow("previous" + in) << 1 << 2 << true << int(Qt::Key_PageUp) << ctrl << "button 6";
            QTest::newRow("previous on the first page" + in)
                << 1 << 0 << true << int(Qt::Key_PageUp) << ctrl << "nothing";
            QTest::newRow("uncover the answer" + in)
                << 1 << 1 << false << int(Qt::Key_Return) << ctrl << "cover 1";
            QTest::newRow("cover the answer again" + in)
                << 1 << 1 << true << int(Qt::Key_Return) << ctrl << "close 1";
            QTest::newRow("uncover the question" + in)
                << 0 << 1 << false << int(Qt::Key_Return) << ctrl << "cover 0";
            QTest::newRow("keypad enter" + in) << 1 << 0 << false << int(Qt::Key_Enter)
                                               << int(ctrl | Qt::KeypadModifier) << "cover 1";
            QTest::newRow("nothing hidden covers the answer" + in)
                << 2 << 0 << false << int(Qt::Key_Return) << ctrl << "close 1";
        }
    }
    void drillKeysActAsTheirButtons() {
        QFETCH(int, hideMode);
        QFETCH(int, page);
        QFETCH(bool, uncovered);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, same);
        const int from = QString(QTest::currentDataTag()).contains("answer)") ? 1 : 0;
        auto prepare = [&] {
            drillAt(hideMode, page, from);
            if (uncovered) w->doc.Cover_Click(hideMode == 0 ? 0 : 1);
            w->Te[from]->setFocus();
            if (!w->isCovered(from)) QTest::keyClicks(w->Te[from], "typed ");
        };
        prepare();
        const QStringList words = same.split(' ');
        const int n = words.size() > 1 ? words[1].toInt() : 0;
        if (words[0] == "button") w->tbButton[n]->trigger();
        if (words[0] == "cover") QTest::mouseClick(w->Cover[n], Qt::LeftButton);
        if (words[0] == "close") QTest::mouseClick(w->CoverOn[n], Qt::LeftButton);
        const Seen byButton = seen();
        QWidget* focusByButton = QApplication::focusWidget();
        const int focusIndex = focusByButton == w->Te[0] ? 0 : focusByButton == w->Te[1] ? 1 : -1;

        prepare();
        const Seen before = seen();
        QTest::keyClick(w->Te[from], Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(seen() == byButton);
        QVERIFY(words[0] != "nothing" || seen() == before);
        QCOMPARE(QApplication::focusWidget(), focusIndex < 0 ? nullptr : w->Te[focusIndex]);
    }

    // Enter on a chosen row of the Jump list goes there; with no row
    // chosen Enter means nothing and the dialog stays.
    void enterOnAJumpRow_data() {
        QTest::addColumn<std::vector<int>>("keys");
        QTest::addColumn<int>("page");  // -1: still open
        QTest::newRow("down, return") << std::vector<int>{Qt::Key_Down, Qt::Key_Return} << 1;
        QTest::newRow("end, keypad enter") << std::vector<int>{Qt::Key_End, Qt::Key_Enter} << 2;
        QTest::newRow("return on no row") << std::vector<int>{Qt::Key_Return} << -1;
        QTest::newRow("escape") << std::vector<int>{Qt::Key_Down, Qt::Key_Escape} << -1;
    }
    void enterOnAJumpRow() {
        QFETCH(std::vector<int>, keys);
        QFETCH(int, page);
        start(deck());
        w->doc.CallTh(2, false, true, false);  // shown uncovered
        bool stillOpen = false;
        w->runModal = [&](QDialog& d) {
            auto* j = dynamic_cast<Jump*>(&d);
            QVERIFY(j);
            d.show();
            QApplication::setActiveWindow(&d);
            QVERIFY(QTest::qWaitForWindowActive(&d));
            j->JList->setFocus();
            for (int k : keys)
                QTest::keyClick(j->JList, Qt::Key(k),
                                k == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            stillOpen = d.isVisible();
            d.hide();
        };
        QTest::keyClick(w->Te[0], Qt::Key_F12);
        QCOMPARE(stillOpen, page < 0);
        QCOMPARE(w->doc.NowPage, page < 0 ? 2 : page);
        QCOMPARE(w->isCovered(1), page >= 0);  // a jump shows the page covered
    }

    // Both halves change size together within 8..72 points, and the size
    // and the window's size come back in a new window.
    void zoomBothHalvesAndRemember_data() {
        QTest::addColumn<int>("key");  // 0: the wheel
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("times");  // presses, or wheel notches (negative: down)
        QTest::addColumn<int>("points");  // from 12; 0: the default size
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("ctrl+plus") << int(Qt::Key_Plus) << ctrl << 1 << 14;
        QTest::newRow("ctrl+= without shift") << int(Qt::Key_Equal) << ctrl << 1 << 14;
        QTest::newRow("keypad plus") << int(Qt::Key_Plus) << int(ctrl | Qt::KeypadModifier) << 2 << 16;
        QTest::newRow("ctrl+minus") << int(Qt::Key_Minus) << ctrl << 1 << 11;
        QTest::newRow("at most 72") << int(Qt::Key_Plus) << ctrl << 40 << 72;
        QTest::newRow("at least 8") << int(Qt::Key_Minus) << ctrl << 40 << 8;
        QTest::newRow("ctrl+0 back to the default") << int(Qt::Key_0) << ctrl << 1 << 0;
        QTest::newRow("ctrl+wheel up") << 0 << ctrl << 2 << 16;
        QTest::newRow("ctrl+wheel down") << 0 << ctrl << -1 << 11;
        QTest::newRow("wheel alone scrolls") << 0 << 0 << 2 << 12;
    }
    void zoomBothHalvesAndRemember() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, times);
        QFETCH(int, points);
        QFile::remove(QString::fromStdString(dir.file("view.conf")));
        start(deck());
        const int defaultSize = w->textZoom->defaultSize();
        if (!points) points = defaultSize;
        w->textZoom->setPointSize(12);
        for (int i = 0; i < std::abs(times); ++i) {
            if (key) {
                QTest::keyClick(w->Te[i % 2], Qt::Key(key), Qt::KeyboardModifiers(modifiers));
                continue;
            }
            QWidget* vp = w->Te[i % 2]->viewport();
            QWheelEvent e(QPointF(5, 5), vp->mapToGlobal(QPointF(5, 5)), {}, {0, times > 0 ? 120 : -120},
                          Qt::NoButton, Qt::KeyboardModifiers(modifiers), Qt::NoScrollPhase, false);
            QApplication::sendEvent(vp, &e);
        }
        for (int k = 0; k < 2; ++k) QCOMPARE(w->Te[k]->font().pointSize(), points);
        QCOMPARE(w->Te[0]->toPlainText(), QStringLiteral("Q1"));
        QVERIFY(!w->doc.Changed);

        w->resize(w->width() + 77, w->height() + 33);
        QTest::qWait(10);
        const QSize size = w->size();
        prompt.answers = {Answer::Yes};
        w->doc.ConfirmExit();  // the program ends: the view is kept
        start();
        QCOMPARE(w->size(), size);
        for (int k = 0; k < 2; ++k) QCOMPARE(w->Te[k]->font().pointSize(), points);
        QCOMPARE(QString::fromStdString(slurp(dir.file("Ravmemo.ini"))),
                 QStringLiteral("Hide = 1\r\nIEPlace = xdg-open\r\n"));
    }

    // A deck dropped on the window, or on a text box, opens as File > Open
    // does once its dialog returns; any other drop does nothing.
    void droppedDecks_data() {
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<bool>("onText");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");  // to the question whether to save
        QTest::addColumn<bool>("opens");
        const QString d = QString::fromStdString(dir.path.string());
        const QString deck = QUrl::fromLocalFile(d + "/three.rvm").toString();
        const int no = int(Answer::No), yes = int(Answer::Yes);
        QTest::newRow("deck") << QStringList{deck} << false << false << no << true;
        QTest::newRow("deck on a text box") << QStringList{deck} << true << false << no << true;
        QTest::newRow("deck, not saved") << QStringList{deck} << false << true << no << true;
        QTest::newRow("deck, save cancelled") << QStringList{deck} << false << true << yes << false;
        QTest::newRow("upper case name") << QStringList{QUrl::fromLocalFile(d + "/UP.RVM").toString()}
                                         << false << false << no << true;
        QTest::newRow("two decks") << QStringList{deck, deck} << false << false << no << false;
        QTest::newRow("text file") << QStringList{QUrl::fromLocalFile(d + "/a.txt").toString()}
                                   << false << false << no << false;
        QTest::newRow("web address") << QStringList{"https://example.invalid/a.rvm"} << false << false
                                     << no << false;
        QTest::newRow("no address") << QStringList{} << true << false << no << false;
    }
    void droppedDecks() {
        QFETCH(QStringList, urls);
        QFETCH(bool, onText);
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(bool, opens);
        deck();
        spit(dir.file("UP.RVM"), kDeck);
        spit(dir.file("a.txt"), "text");
        start();
        w->doc.OpenedReadOnly = true;
        if (changed) QTest::keyClicks(w->Te[0], "new");
        prompt.answers = {Answer(answer)};
        QMimeData data;
        QList<QUrl> list;
        for (const QString& u : urls) list << QUrl(u);
        if (list.isEmpty())
            data.setText(QStringLiteral("plain"));
        else
            data.setUrls(list);
        QWidget* target = onText ? w->Te[1]->viewport() : static_cast<QWidget*>(w.get());
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, {});
        if (opens || !onText) QApplication::sendEvent(target, &drop);
        QTest::qWait(20);
        QCOMPARE(!prompt.asked.empty(), changed);
        if (changed)
            QCOMPARE(QString::fromStdString(prompt.asked[0].text),
                     QStringLiteral("現在のファイルを保存しますか？"));
        QCOMPARE(w->doc.MaxPage, opens ? 2 : 0);
        QCOMPARE(w->windowTitle().endsWith(".rvm", Qt::CaseInsensitive), opens);
        QCOMPARE(w->doc.OpenedReadOnly, !opens);
        QCOMPARE(w->Te[0]->toPlainText(), opens ? QStringLiteral("Q1") : changed ? QStringLiteral("new") : QString());
    }
};

QTEST_MAIN(DrillTest)
#include "drill_test.moc"
