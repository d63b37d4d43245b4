// Drilling from the keyboard, text zoom, and decks dropped on the window.
#include <QtTest>

#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/TextZoom.h"
#include "app/frmMain.h"
#include "dialogs/Jump.h"

using namespace rvm;
using namespace rvm::test;

namespace {
const char* const kDeck = "\x1fQ1\r\n\x1f" "A1\r\n\x1f" "0\r\n\x1fQ2\r\n\x1f" "A2\r\n\x1f" "1\r\n"
                          "\x1fQ3\r\n\x1f" "A3\r\n\x1f" "2\r\n";

// Keys as written in menus, "Num+" for the keypad: "Ctrl+Num+Enter".
void press(QWidget* w, const QString& keys) {
    for (const QString& k : keys.split(' ')) {
        const QKeyCombination c = QKeySequence(k)[0];
        QTest::keyClick(w, c.key(), c.keyboardModifiers());
    }
}

// Everything a user could see change, to compare a key with its button.
struct Seen {
    int page, maxPage;
    bool covered0, covered1, changed;
    QString te0, te1, status;
    std::vector<std::string> list1, list2;
    QWidget* focus;
    bool operator==(const Seen&) const = default;
};
}  // namespace

class DrillTest : public QObject {
    Q_OBJECT

    TempDir dir;
    FakePrompt prompt;
    std::unique_ptr<frmMain> w;

    void start(bool withDeck = true) {
        w.reset();
        spit(dir.file("three.rvm"), kDeck);
        w = std::make_unique<frmMain>(prompt, StartPaths{dir.path.string(), dir.file("Ravmemo.ini"),
                                                         dir.file("view.conf")});
        w->onEnd = [] {};
        w->Form_Load(withDeck ? dir.file("three.rvm") : "");
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    Seen seen() {
        return {w->doc.NowPage, w->doc.MaxPage, w->isCovered(0), w->isCovered(1), w->doc.Changed,
                w->Te[0]->toPlainText(), w->Te[1]->toPlainText(), w->sbStatusBar->currentMessage(),
                w->doc.List1, w->doc.List2, QApplication::focusWidget()};
    }

private slots:
    void cleanup() {
        w.reset();
        prompt = FakePrompt();
    }

    // Tab reaches the covered answer; there nothing typed changes the text
    // or the undo snapshot, and only Space or Enter open it.
    void keysOnACoveredHalf_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("opens");
        QTest::newRow("typing, deleting, pasting") << "X Y Del Backspace Ctrl+V" << false;
        QTest::newRow("shift+space, an input method key") << "Shift+Space" << false;
        QTest::newRow("space") << "Space" << true;
        QTest::newRow("keypad enter") << "Num+Enter" << true;
    }
    void keysOnACoveredHalf() {
        QFETCH(QString, keys);
        QFETCH(bool, opens);
        start();
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        w->doc.MakeUndo("貼り付け");
        press(w->Te[0], "Tab");
        QVERIFY(w->Te[1]->hasFocus() && w->isCovered(1));
        press(w->Te[1], keys);
        QCOMPARE(w->isCovered(1), !opens);
        QVERIFY(w->Te[1]->hasFocus() && w->Te[1]->toPlainText() == "A1");
        QVERIFY(!w->doc.Changed && !w->doc.B3.empty());
        press(w->Te[1], "!");  // open, it takes typing at once
        QCOMPARE(w->Te[1]->toPlainText(), opens ? QStringLiteral("!A1") : QStringLiteral("A1"));
    }

    // Each drill key does exactly what its button or a click does, from
    // either text box holding unstored text, and types nothing.
    void drillKeysActAsTheirButtons_data() {
        QTest::addColumn<int>("hideMode");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("opened");  // the hidden half opened by hand first
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("same");  // button n, cover k, close k, or nothing
        for (int from : {0, 1}) {
            auto row = [from](const char* name) -> QTestData& {
                return QTest::addRow("%s (from %s)", name, from ? "answer" : "question");
            };
            row("next") << 1 << 0 << true << "Ctrl+PgDown" << "button 7";
            row("next on the last page appends") << 1 << 2 << true << "Ctrl+PgDown" << "button 7";
            row("previous") << 1 << 2 << true << "Ctrl+PgUp" << "button 6";
            row("previous on the first page") << 1 << 0 << true << "Ctrl+PgUp" << "nothing";
            row("uncover the answer") << 1 << 1 << false << "Ctrl+Return" << "cover 1";
            row("cover it again") << 1 << 1 << true << "Ctrl+Num+Enter" << "close 1";
            row("uncover the question") << 0 << 1 << false << "Ctrl+Return" << "cover 0";
            row("nothing hidden: cover the answer") << 2 << 0 << false << "Ctrl+Return" << "close 1";
        }
    }
    void drillKeysActAsTheirButtons() {
        QFETCH(int, hideMode);
        QFETCH(int, page);
        QFETCH(bool, opened);
        QFETCH(QString, key);
        QFETCH(QString, same);
        const int from = QByteArray(QTest::currentDataTag()).endsWith("answer)");
        auto prepare = [&] {
            start();
            w->doc.HideMode = static_cast<std::int16_t>(hideMode);
            w->doc.CallTh(page, false, false, false);
            if (opened) w->doc.Cover_Click(hideMode == 0 ? 0 : 1);
            w->Te[from]->setFocus();
            if (!w->isCovered(from)) QTest::keyClicks(w->Te[from], "typed ");
            return seen();
        };
        const Seen before = prepare();
        const int n = same.right(1).toInt();
        if (same.startsWith("button")) w->tbButton[n]->trigger();
        if (same.startsWith("cover")) QTest::mouseClick(w->Cover[n], Qt::LeftButton);
        if (same.startsWith("close")) QTest::mouseClick(w->CoverOn[n], Qt::LeftButton);
        Seen byButton = seen();
        const int focusAt = byButton.focus == w->Te[1];
        QVERIFY(same != "nothing" || byButton == before);

        prepare();
        press(w->Te[from], key);
        byButton.focus = w->Te[focusAt];
        QVERIFY(seen() == byButton);
    }

    // Enter goes to the row the keyboard is on, the first one when the list
    // has just taken the focus; Esc still means nothing.
    void enterOnAJumpRow_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("page");  // -1: the dialog is still open
        QTest::newRow("down, down, up, return") << "Down Down Up Return" << 1;
        QTest::newRow("end, keypad enter") << "End Num+Enter" << 2;
        QTest::newRow("return on entering") << "Return" << 0;
        QTest::newRow("escape") << "Down Esc" << -1;
    }
    void enterOnAJumpRow() {
        QFETCH(QString, keys);
        QFETCH(int, page);
        start();
        w->doc.CallTh(2, false, true, false);  // shown uncovered
        bool open = false;
        w->runModal = [&](QDialog& d) {
            d.show();
            QApplication::setActiveWindow(&d);
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QListWidget* list = dynamic_cast<Jump&>(d).JList;
            list->setFocus();
            press(list, keys);
            open = d.isVisible();
            d.hide();
        };
        press(w->Te[0], "F12");
        QCOMPARE(open, page < 0);
        QCOMPARE(w->doc.NowPage, page < 0 ? 2 : page);
        QCOMPARE(w->isCovered(1), page >= 0);  // a jump shows the page covered
    }

    // Both halves change size together within 8..72 points; the size and
    // the window's size come back in the next window.
    void zoomAndRemember_data() {
        QTest::addColumn<QString>("keys");  // or wheel notches: "wheel 2", "ctrl wheel -1"
        QTest::addColumn<int>("points");    // from 12; 0: the usual size
        QTest::newRow("ctrl+plus, ctrl+= without shift") << "Ctrl++ Ctrl+=" << 16;
        QTest::newRow("ctrl+minus") << "Ctrl+-" << 11;
        QTest::newRow("at most 72") << QString("Ctrl++ ").repeated(30).trimmed() << 72;
        QTest::newRow("at least 8") << QString("Ctrl+- ").repeated(30).trimmed() << 8;
        QTest::newRow("ctrl+0") << "Ctrl++ Ctrl+0" << 0;
        QTest::newRow("ctrl+wheel") << "ctrl wheel 2" << 16;
        QTest::newRow("ctrl+wheel down") << "ctrl wheel -1" << 11;
        QTest::newRow("wheel alone scrolls") << "wheel 2" << 12;
    }
    void zoomAndRemember() {
        QFETCH(QString, keys);
        QFETCH(int, points);
        QFile::remove(QString::fromStdString(dir.file("view.conf")));
        start();
        if (!points) points = w->textZoom->defaultSize();
        w->textZoom->setPointSize(12);
        if (keys.contains("wheel")) {
            const int notches = keys.section(' ', -1).toInt();
            QWidget* vp = w->Te[1]->viewport();
            for (int i = 0; i < std::abs(notches); ++i) {
                QWheelEvent e({5, 5}, vp->mapToGlobal(QPointF(5, 5)), {}, {0, notches > 0 ? 120 : -120},
                              Qt::NoButton, keys.startsWith("ctrl") ? Qt::ControlModifier : Qt::NoModifier,
                              Qt::NoScrollPhase, false);
                QApplication::sendEvent(vp, &e);
            }
        } else {
            press(w->Te[0], keys);
        }
        QVERIFY(w->Te[0]->font().pointSize() == points && w->Te[1]->font().pointSize() == points);
        QVERIFY(w->Te[0]->toPlainText() == "Q1" && !w->doc.Changed);  // nothing typed

        w->resize(w->width() + 77, w->height() + 33);
        const QSize size = w->size();
        prompt.answers = {Answer::Yes};
        w->doc.ConfirmExit();  // the end of the program keeps the view
        start();
        QCOMPARE(w->size(), size);
        QCOMPARE(w->Te[1]->font().pointSize(), points);
        QCOMPARE(QString::fromStdString(slurp(dir.file("Ravmemo.ini"))),
                 QStringLiteral("Hide = 1\r\nIEPlace = xdg-open\r\n"));
    }

    // A deck dropped on the window or a text box opens as File > Open does
    // once its dialog returns; any other drop does nothing.
    void droppedDecks_data() {
        QTest::addColumn<QStringList>("urls");  // empty: plain text
        QTest::addColumn<bool>("onText");
        QTest::addColumn<bool>("changed");  // then Yes to the question, and the save cancelled
        QTest::addColumn<bool>("opens");
        const QString d = "file://" + QString::fromStdString(dir.path.string());
        QTest::newRow("deck") << QStringList{d + "/three.rvm"} << false << false << true;
        QTest::newRow("deck on a text box") << QStringList{d + "/three.rvm"} << true << false << true;
        QTest::newRow("upper case name") << QStringList{d + "/UP.RVM"} << false << false << true;
        QTest::newRow("deck, save cancelled") << QStringList{d + "/three.rvm"} << false << true << false;
        QTest::newRow("two decks") << QStringList{d + "/three.rvm", d + "/UP.RVM"} << false << false << false;
        QTest::newRow("text file") << QStringList{d + "/a.txt"} << false << false << false;
        QTest::newRow("web address") << QStringList{"https://example.invalid/a.rvm"} << false << false << false;
        QTest::newRow("plain text") << QStringList{} << false << false << false;
    }
    void droppedDecks() {
        QFETCH(QStringList, urls);
        QFETCH(bool, onText);
        QFETCH(bool, changed);
        QFETCH(bool, opens);
        spit(dir.file("UP.RVM"), kDeck);
        start(false);
        w->doc.OpenedReadOnly = true;
        if (changed) QTest::keyClicks(w->Te[0], "new");
        prompt.answers = {Answer::Yes};
        QMimeData data;
        data.setText(QStringLiteral("plain"));
        if (!urls.isEmpty()) data.setUrls(QList<QUrl>(urls.begin(), urls.end()));
        QWidget* target = onText ? w->Te[1]->viewport() : w.get();
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QCOMPARE(enter.isAccepted(), opens || changed);
        QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        QTest::qWait(20);
        QCOMPARE(prompt.asked.size(), std::size_t(changed));
        QCOMPARE(w->doc.MaxPage, opens ? 2 : 0);
        QCOMPARE(w->doc.OpenedReadOnly, !opens);
        QCOMPARE(w->Te[0]->toPlainText(), QString(opens ? "Q1" : changed ? "new" : ""));
    }
};

QTEST_MAIN(DrillTest)
#include "drill_test.moc"
