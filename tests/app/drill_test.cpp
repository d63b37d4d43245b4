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
const char* const kOther = "\x1fU\r\n\x1fV\r\n\x1f" "0\r\n";

}  // namespace

class DrillTest : public QObject {
    Q_OBJECT

    TempDir dir;
    FakePrompt prompt;
    std::unique_ptr<frmMain> w;
    QString heard;  // what the keys led to beyond seen(): a drop refused, a question

    // Keys as written in menus ("Num+" for the keypad) to the focused widget;
    // "Wheel2", "Ctrl+Wheel-1": notches of the wheel over the answer;
    // "Drop:a,b" / "DropOnText:a": files in the folder or addresses dropped.
    void press(const QString& keys) {
        for (const QString& k : keys.split(' ', Qt::SkipEmptyParts)) {
            const int notches = k.section("Wheel", 1).toInt();
            for (int i = 0; i < std::abs(notches); ++i) {
                QWheelEvent e({5, 5}, w->Te[1]->mapToGlobal(QPointF(5, 5)), {}, {0, notches > 0 ? 120 : -120},
                              Qt::NoButton, k.startsWith("Ctrl") ? Qt::ControlModifier : Qt::NoModifier,
                              Qt::NoScrollPhase, false);
                QApplication::sendEvent(w->Te[1]->viewport(), &e);
            }
            if (k.startsWith("Drop")) {
                QMimeData data;
                data.setText(QStringLiteral("plain"));
                QList<QUrl> urls;
                for (const QString& u : k.section(':', 1).split(',', Qt::SkipEmptyParts))
                    urls << (u.startsWith("https") ? QUrl(u) : QUrl::fromLocalFile(QString::fromStdString(dir.file(u.toStdString()))));
                if (!urls.isEmpty()) data.setUrls(urls);
                w->doc.OpenedReadOnly = true;  // cleared by opening
                QWidget* target = k.startsWith("DropOnText") ? w->Te[1]->viewport() : w.get();
                QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
                QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
                QApplication::sendEvent(target, &enter);
                QApplication::sendEvent(target, &drop);
                QTest::qWait(20);
                heard += enter.isAccepted() ? " taken" : " refused";
                if (w->doc.OpenedReadOnly) heard += " read-only";
            } else if (!notches) {
                const QKeyCombination c = QKeySequence(k)[0];
                QTest::keyClick(QApplication::focusWidget(), c.key(), c.keyboardModifiers());
            }
        }
    }

    void start() {
        w.reset();
        prompt = FakePrompt();
        spit(dir.file("three.rvm"), kDeck);
        spit(dir.file("one.rvm"), kOther);
        spit(dir.file("UP.RVM"), kOther);
        w = std::make_unique<frmMain>(prompt, StartPaths{dir.path.string(), dir.file("Ravmemo.ini"),
                                                         dir.file("view.conf")});
        w->onEnd = [] {};
        w->Form_Load(dir.file("three.rvm"));
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    // What a user sees: page, covered halves, changed, focus in the answer
    // (-1: in neither box), the answer, text size | pages, question, both
    // sizes, status, the lists.
    QString seen() {
        const int pt = w->Te[0]->font().pointSize();
        QString s = QString("%1 %2%3 %4 %5 %6 %7 | %8 %9 %10 %11 ").arg(w->doc.NowPage).arg(w->isCovered(0))
                        .arg(w->isCovered(1)).arg(w->doc.Changed).arg(w->Te[1]->hasFocus() ? 1 : w->Te[0]->hasFocus() - 1)
                        .arg(w->Te[1]->toPlainText(), pt == w->textZoom->defaultSize() ? "usual" : QString::number(pt))
                        .arg(w->doc.MaxPage).arg(w->Te[0]->toPlainText()).arg(w->Te[1]->font().pointSize())
                        .arg(w->sbStatusBar->currentMessage());
        for (const auto& t : w->doc.List1) s += QString::fromStdString(t) + "|";
        for (const auto& t : w->doc.List2) s += QString::fromStdString(t) + "|";
        return s;
    }

private slots:
    // From page 1 of 3, answer covered, focus on the question, text at 12
    // points. Tab reaches the covered answer, where only Space or Enter
    // open it, and typing, pasting or an input method key changes nothing;
    // Enter in the Jump list goes to the keyboard's row (the first on
    // entering), covered; Esc there does nothing; both halves zoom together
    // within 8..72 points, the wheel alone scrolls. A deck dropped on the
    // window or a text box opens as File > Open does, any other drop does
    // nothing. The text size and the window's size come back next time.
    void keys_data() {
        QTest::addColumn<QString>("keys");  // after "|": in the Jump list
        QTest::addColumn<QString>("want");  // as seen() shows it, to the "|"
        QTest::newRow("covered: type, delete, paste") << "Tab X Y Del Backspace Ctrl+V !" << "0 01 0 1 A1 12";
        QTest::newRow("covered: shift+space") << "Tab Shift+Space !" << "0 01 0 1 A1 12";
        QTest::newRow("covered: space") << "Tab Space !" << "0 00 1 1 !A1 12";
        QTest::newRow("covered: keypad enter") << "Tab Num+Enter !" << "0 00 1 1 !A1 12";
        const QString jump = "Ctrl+PgDown Ctrl+PgDown Ctrl+Return F12 | ";  // from page 3, uncovered
        QTest::newRow("jump: down, down, up, return") << jump + "Down Down Up Return" << "1 01 0 1 A2 12";
        QTest::newRow("jump: end, keypad enter") << jump + "End Num+Enter" << "2 01 0 1 A3 12";
        QTest::newRow("jump: return on entering") << jump + "Return" << "0 01 0 1 A1 12";
        QTest::newRow("jump: escape") << jump + "Down Esc" << "2 00 0 1 A3 12 still open";
        QTest::newRow("ctrl+plus, ctrl+= without shift") << "Ctrl++ Ctrl+=" << "0 01 0 0 A1 16";
        QTest::newRow("ctrl+minus") << "Ctrl+-" << "0 01 0 0 A1 11";
        QTest::newRow("at most 72") << QString("Ctrl++ ").repeated(30) << "0 01 0 0 A1 72";
        QTest::newRow("at least 8") << QString("Ctrl+- ").repeated(30) << "0 01 0 0 A1 8";
        QTest::newRow("ctrl+0") << "Ctrl++ Ctrl+0" << "0 01 0 0 A1 usual";
        QTest::newRow("ctrl+wheel") << "Ctrl+Wheel2" << "0 01 0 0 A1 16";
        QTest::newRow("ctrl+wheel down") << "Ctrl+Wheel-1" << "0 01 0 0 A1 11";
        QTest::newRow("wheel alone scrolls") << "Wheel2" << "0 01 0 0 A1 12";
        QTest::newRow("drop a deck") << "Drop:one.rvm" << "0 01 0 0 V 12 taken";
        QTest::newRow("drop on a text box") << "DropOnText:one.rvm" << "0 01 0 0 V 12 taken";
        QTest::newRow("drop an upper case name") << "Drop:UP.RVM" << "0 01 0 0 V 12 taken";
        QTest::newRow("drop, save cancelled") << "X Drop:one.rvm" << "0 01 1 0 A1 12 taken read-only asked";
        QTest::newRow("drop two decks") << "Drop:one.rvm,UP.RVM" << "0 01 0 0 A1 12 refused read-only";
        QTest::newRow("drop a text file") << "Drop:a.txt" << "0 01 0 0 A1 12 refused read-only";
        QTest::newRow("drop a web address") << "Drop:https://example.invalid/a.rvm" << "0 01 0 0 A1 12 refused read-only";
        QTest::newRow("drop plain text") << "Drop:" << "0 01 0 0 A1 12 refused read-only";
    }
    void keys() {
        QFETCH(QString, keys);
        QFETCH(QString, want);
        QFile::remove(QString::fromStdString(dir.file("view.conf")));
        start();
        w->textZoom->setPointSize(12);
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        w->doc.MakeUndo("貼り付け");
        heard.clear();
        prompt.answers = {Answer::Yes};  // to saving first, whose file dialog is then cancelled
        w->runModal = [&](QDialog& d) {
            d.show();
            QApplication::setActiveWindow(&d);
            QVERIFY(QTest::qWaitForWindowActive(&d));
            dynamic_cast<Jump&>(d).JList->setFocus();
            press(keys.section('|', 1));
            heard += d.isVisible() ? " still open" : "";
            d.hide();
            QApplication::setActiveWindow(w.get());
        };
        press(keys.section('|', 0, 0));
        QCOMPARE(seen().section(" |", 0, 0) + heard + (prompt.asked.empty() ? "" : " asked"), want);
        QCOMPARE(seen().section(' ', 9, 9), QString::number(w->Te[0]->font().pointSize()));  // both halves
        if (keys.startsWith("Tab")) QVERIFY(w->doc.Changed || !w->doc.B3.empty());  // the undo snapshot survives

        w->resize(w->width() + 77, w->height() + 33);
        const QSize size = w->size();
        const QString zoom = seen().section(' ', 5, 5);
        w->doc.SetChanged(false);
        prompt.answers = {Answer::Yes};
        w->doc.ConfirmExit();  // the end of the program keeps the view
        start();
        QCOMPARE(w->size(), size);
        QCOMPARE(seen().section(' ', 5, 5), zoom);
        QCOMPARE(QString::fromStdString(slurp(dir.file("Ravmemo.ini"))), QString("Hide = 1\r\nIEPlace = xdg-open\r\n"));
    }

    // Each drill key does exactly what its button or a click does, from
    // either text box holding unstored text, and types nothing.
    void drillKeysActAsTheirButtons_data() {
        // hide mode, page, hidden half opened by hand first, the key, and
        // the same as: button n, cover k, close k, or nothing
        QTest::addColumn<QString>("row");
        for (const char* from : {"question", "answer"}) {
            auto row = [from](const char* name, const char* r) { QTest::addRow("%s from the %s", name, from) << r; };
            row("next", "1 0 1 Ctrl+PgDown button 7");
            row("next on the last page appends", "1 2 1 Ctrl+PgDown button 7");
            row("previous", "1 2 1 Ctrl+PgUp button 6");
            row("previous on the first page", "1 0 1 Ctrl+PgUp nothing");
            row("uncover the answer", "1 1 0 Ctrl+Return cover 1");
            row("cover it again", "1 1 1 Ctrl+Num+Enter close 1");
            row("uncover the question", "0 1 0 Ctrl+Return cover 0");
            row("nothing hidden: cover the answer", "2 0 0 Ctrl+Return close 1");
        }
    }
    void drillKeysActAsTheirButtons() {
        QFETCH(QString, row);
        const QStringList f = row.split(' ');
        const int from = QByteArray(QTest::currentDataTag()).endsWith("answer"), n = row.right(1).toInt();
        auto prepare = [&] {
            start();
            w->doc.HideMode = static_cast<std::int16_t>(f[0].toInt());
            w->doc.CallTh(f[1].toInt(), false, false, false);
            if (f[2] == "1") w->doc.Cover_Click(f[0] == "0" ? 0 : 1);
            w->Te[from]->setFocus();
            if (!w->isCovered(from)) QTest::keyClicks(w->Te[from], "typed ");
            return seen();
        };
        const QString before = prepare();
        if (f[4] == "button") w->tbButton[n]->trigger();
        if (f[4] == "cover") QTest::mouseClick(w->Cover[n], Qt::LeftButton);
        if (f[4] == "close") QTest::mouseClick(w->CoverOn[n], Qt::LeftButton);
        if (QApplication::focusWidget() != w->Te[1]) w->Te[0]->setFocus();  // a key keeps it in a text box
        const QString byButton = seen();
        QVERIFY(f[4] != "nothing" || byButton == before);
        prepare();
        press(f[3]);
        QCOMPARE(seen(), byButton);
    }
};

QTEST_MAIN(DrillTest)
#include "drill_test.moc"
