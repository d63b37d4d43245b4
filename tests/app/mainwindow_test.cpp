// The main window on the offscreen platform, driven as a user would: menus,
// function keys, drilling from the keyboard, text zoom, dropped decks, what a
// screen reader finds, and text an input method is still composing.
#include <QtTest>

#include <QAccessible>
#include <QClipboard>
#include <QMimeData>
#include <QScreen>
#include <QTextBlock>

#include "app/Study.h"
#include "app/TextZoom.h"
#include "app/WindowFixture.h"
#include "dialogs/JumpDialog.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/SplashWindow.h"

using namespace rvm;
using namespace rvm::test;

class MainWindowTest : public QObject, WindowFixture {
    Q_OBJECT

    QString heard;  // what came of the keys beyond seen(): dialogs, drops, questions

    // 1 covered, 0 open, 2 when the cover and its button disagree.
    int cover(int k) const {
        return w->cover[k]->isVisible() == w->coverAgain[k]->isHidden() ? w->cover[k]->isVisible() : 2;
    }
    // What a user sees: page/pages, covers, changed, focus in the answer
    // (-1: in neither box), the answer, the text size of both halves.
    QString seen() const {
        const int pt = w->halfEdit[1]->font().pointSize();
        const QString size = pt != w->halfEdit[0]->font().pointSize() ? "unequal"
                             : pt == w->textZoom->defaultSize() ? "usual" : QString::number(pt);
        return QString("%1/%2 %3%4 %5 %6 %7 %8").arg(w->doc.currentPage() + 1).arg(w->doc.lastPage() + 1)
            .arg(cover(0)).arg(cover(1)).arg(w->doc.changed()).arg(focus()).arg(QString::fromStdString(w->text(1)), size);
    }
    // Keys as written in menus ("Num+" for the keypad) to the focused widget;
    // "Wheel2", "Ctrl+Wheel-1": notches of the wheel over the answer;
    // "Drop:a,b" / "DropOnText:a": files in the folder or addresses dropped.
    void press(const QString& keys) {
        for (const QString& k : keys.split(' ', Qt::SkipEmptyParts)) {
            if (const int notches = k.section("Wheel", 1).toInt()) {
                QWheelEvent e({5, 5}, w->halfEdit[1]->mapToGlobal(QPointF(5, 5)), {}, {0, 120 * notches},
                              Qt::NoButton, k.startsWith("Ctrl") ? Qt::ControlModifier : Qt::NoModifier,
                              Qt::NoScrollPhase, false);
                QApplication::sendEvent(w->halfEdit[1]->viewport(), &e);
            } else if (k.startsWith("Drop")) {
                QMimeData data;
                data.setText(QStringLiteral("plain"));
                QList<QUrl> urls;
                for (const QString& u : k.section(':', 1).split(',', Qt::SkipEmptyParts))
                    urls << QUrl::fromLocalFile(QString::fromStdString(dir.file(""))).resolved(QUrl(u));
                if (!urls.isEmpty()) data.setUrls(urls);
                QWidget* target = k.startsWith("DropOnText") ? w->halfEdit[1]->viewport() : w.get();
                QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
                QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
                QApplication::sendEvent(target, &enter);
                QApplication::sendEvent(target, &drop);
                QTest::qWait(20);
                heard += enter.isAccepted() ? " taken" : " refused";
            } else {
                key(k);
            }
        }
    }

    // The page's buttons and text boxes as a screen reader finds them, in
    // order: name, a box's text, a button's state, * for the keyboard's
    // place; hidden ones in brackets, with whatever text they still hold.
    QString reader() const {
        QStringList found;
        QAccessibleInterface* page = QAccessible::queryAccessibleInterface(w->pageArea);
        for (int i = 0; i < page->childCount(); ++i) {
            QAccessibleInterface* c = page->child(i);
            const QAccessible::State st = c->state();
            if (c->role() != QAccessible::EditableText && !(c->role() == QAccessible::Button && !st.invisible))
                continue;
            QString item = c->text(QAccessible::Name);
            if (c->role() == QAccessible::EditableText) item += '=' + c->text(QAccessible::Value);
            if (st.expandable) item += st.collapsed ? "[closed]" : "[open]";
            found << (st.invisible ? "(" + item + (st.focused ? "*" : "") + ")" : item + (st.focused ? "*" : ""));
        }
        return found.join(" | ");
    }
    QString composing(int k) const { return w->halfEdit[k]->textCursor().block().layout()->preeditAreaText(); }

private slots:
    void initTestCase() {
        layOutThree();
        for (const char* name : {"one.rvm", "UP.RVM"}) spit(dir.file(name), "\x1fU\r\n\x1fV\r\n\x1f" "0\r\n");
    }

    // A missing file, or a quoted path (taken whole, quotes and all), is
    // reported and leaves a blank untitled page. Typing and stepping show
    // in Save, the step buttons and the status bar; the key hints take turns.
    void theWindowShowsTheDeck() {
        for (const std::string& bad : {dir.file("missing file.rvm"), "\"" + three + "\""}) {
            start(bad);
            QCOMPARE(prompt.asked.size(), std::size_t(1));  // why the file did not load
            QCOMPARE(w->windowTitle(), QStringLiteral("Ravolin Memorel - [無題]"));
            QCOMPARE(seen(), QStringLiteral("1/1 00 0 0  usual"));
        }
        start(three);
        QInputMethodEvent nothing({}, {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, 0, 1)});
        QApplication::sendEvent(w->halfEdit[0], &nothing);  // as ibus sends when the box gets the keyboard
        QVERIFY(!w->saveButton->isEnabled() && !w->firstButton->isEnabled() && w->nextImage() == 6);
        QTest::keyClicks(w->halfEdit[0], "x\r");
        QVERIFY(w->saveAction->isEnabled() && w->saveButton->isEnabled());
        w->lastButton->trigger();
        QCOMPARE(w->doc.deck().pages[0].question, std::string("x\r\nQ1"));
        QVERIFY(w->previousButton->isEnabled() && !w->lastButton->isEnabled() && w->nextImage() == 9);
        w->firstButton->trigger();
        QCOMPARE(w->pageStatus->currentMessage(), QStringLiteral("1枚目  1ページ  全3枚"));
        QStringList hints;
        for (int tick = 0; tick < 4; ++tick, w->showNextKeyHints()) hints << w->keyHintPanel[0]->text();
        QVERIFY(w->keyHintTimer.isActive() && hints[3] == hints[0] && hints.removeDuplicates() == 1);
    }

    // At any size each cover lies exactly over its box, the boxes share the
    // height the window grows by, nothing overlaps or is cut off, and every
    // key hint fits its panel.
    void layoutHoldsAtEverySize() {
        start();
        int heights = 0;
        for (const QSize grow : {QSize(0, 0), QSize(0, 101), QSize(333, 1000)}) {
            w->resize(w->minimumSize() + grow);
            QTest::qWait(20);
            QRect above;
            for (int k = 0; k < 2; ++k) {
                const QRect label = w->halfLabel[k]->geometry(), button = w->coverAgain[k]->geometry(),
                            box = w->halfEdit[k]->geometry();
                QCOMPARE(w->cover[k]->geometry(), box);
                QVERIFY(w->halfLabel[k]->fontMetrics().horizontalAdvance(w->halfLabel[k]->text()) <= label.width());
                QVERIFY(!label.intersects(button) && std::max(label.bottom(), button.bottom()) < box.top());
                QVERIFY(std::min(label.top(), button.top()) > above.bottom() && w->pageArea->rect().contains(box));
                above = box;
            }
            const int upper = w->halfEdit[0]->height(), lower = w->halfEdit[1]->height();
            QVERIFY(std::abs(upper - lower) <= 1);
            if (!heights) heights = upper + lower;
            QVERIFY(std::abs(upper + lower - heights - grow.height()) <= 2);
            for (int phase = 0; phase < 3; ++phase, w->showNextKeyHints())
                for (const QLabel* hint : w->keyHintPanel)
                    QVERIFY2(hint->fontMetrics().horizontalAdvance(hint->text()) <= hint->contentsRect().width(),
                             qPrintable(hint->text()));
        }
    }

    void optionsAndAboutFromTheMenus() {
        start();
        w->doc.setHideMode(2);  // nothing hidden: the uncover key covers the answer
        w->help.setBrowser("/bin/true");
        press("Ctrl+Return");
        QVERIFY(!w->isCovered(0) && w->isCovered(1));
        for (bool ok : {false, true}) {  // a choice cancelled is dropped, a confirmed one taken
            w->runModal = [ok](QDialog& d) {
                auto& o = dynamic_cast<OptionsDialog&>(d);
                QVERIFY(o.hideChoice[2]->isChecked() && o.browserEdit->text() == "/bin/true");
                o.hideChoice[0]->setChecked(true);
                o.browserEdit->setText("/bin/x");
                (ok ? o.okButton : o.cancelButton)->click();
            };
            w->showOptions();
        }
        QVERIFY(w->doc.hideMode() == 0 && w->help.browser() == "/bin/x" && !w->isCovered(0));
        press("Ctrl+Return Ctrl+Return");  // the hidden answer out, then the question covered
        QVERIFY(w->isCovered(0) && !w->isCovered(1));
        w->splash = new SplashWindow();  // as at start-up, the OK button below the window
        QVERIFY(w->splash->okButton->y() >= w->splash->height());
        w->runModal = [](QDialog&) {};
        w->showAbout();
        QVERIFY(w->splash->okButton->geometry().bottom() < w->splash->height());
    }

    // From page 1 of 3, answer covered, focus on the question, text at 12
    // points. Tab reaches the covered answer, where only Space or Enter
    // open it, and typing or pasting changes nothing. The drill keys step
    // and cover as the buttons do, from either box, and type nothing. Enter
    // in the JumpDialog list goes to the keyboard's row (the first on entering),
    // Esc there does nothing. A function key runs its menu command only
    // where the menu would offer it. Both halves zoom together within 8..72
    // points, the wheel alone scrolls. A deck dropped on the window or a
    // text box opens as File > Open does, any other drop does nothing.
    // Closing asks first; the text and window size come back next time,
    // not in Ravmemo.ini.
    void keys_data() {
        QTest::addColumn<QString>("keys");  // after "|": in the JumpDialog list
        QTest::addColumn<QString>("want");  // as seen() shows it, and what else came
        auto row = [](const char* name, const QString& k, const char* w) { QTest::newRow(name) << k << w; };
        row("covered: type, delete, paste, shift+space", "Tab X Y Del Backspace Ctrl+V Shift+Space !",
            "1/3 01 0 1 A1 12");
        row("space; next, previous keep text", "Tab Space x Ctrl+PgDown Ctrl+PgUp", "1/3 01 1 1 xA1 12");
        row("next on the last page appends", "Ctrl+PgDown Ctrl+PgDown Ctrl+PgDown", "4/4 00 1 0  12");
        row("keypad enter uncovers, cover again", "Tab Num+Enter Ctrl+Num+Enter", "1/3 01 0 1 A1 12");
        const QString jump = "Ctrl+PgDown Ctrl+PgDown Ctrl+Return F12 | ";  // from page 3, uncovered
        row("jump: down, esc, down, up, enter", jump + "Down Esc Down Up Num+Enter", "2/3 01 0 1 A2 12 JumpDialog");
        row("jump: return on entering", jump + "Return", "1/3 01 0 1 A1 12 JumpDialog");
        row("order; cut to one page: no order, jump", "F11 F6 F6 F11 F12", "1/1 01 1 0 A3 12 OrderDialog");
        row("Delete stays in the text; insert twice, undo only once", "Del F9 F9 F5 F5", "1/4 01 1 0  12");
        row("paste with no page on the clipboard, copy, paste", "F8 F7 F8", "1/4 01 1 0 A1 12");
        row("help, save as, open, new", "F1 F4 F3 F2", "1/1 00 0 0  12 help save as open");
        row("ctrl+plus, ctrl+= without shift, minus", "Ctrl++ Ctrl+= Ctrl+-", "1/3 01 0 0 A1 14");
        row("at most 72", QString("Ctrl++ ").repeated(30), "1/3 01 0 0 A1 72");
        row("at least 8", QString("Ctrl+- ").repeated(30), "1/3 01 0 0 A1 8");
        row("ctrl+0", "Ctrl++ Ctrl+0", "1/3 01 0 0 A1 usual");
        row("wheel alone scrolls, ctrl+wheel zooms", "Wheel2 Ctrl+Wheel2 Ctrl+Wheel-1", "1/3 01 0 0 A1 14");
        row("drop a deck, then an upper case one", "Drop:one.rvm Drop:UP.RVM", "1/1 01 0 0 V 12 taken taken");
        row("drop on a text box", "DropOnText:one.rvm", "1/1 01 0 0 V 12 taken");
        row("drop, save cancelled", "X Drop:one.rvm", "1/3 01 1 0 A1 12 taken save as asked");
        row("drop two decks, a text file, a web address, plain text",
            "Drop:one.rvm,UP.RVM Drop:a.txt Drop:https://example.invalid/a.rvm Drop:",
            "1/3 01 0 0 A1 12 refused refused refused refused");
    }
    void keys() {
        QFETCH(QString, keys);
        QFETCH(QString, want);
        std::filesystem::remove(dir.path / "view.conf");
        start(three);
        w->textZoom->setPointSize(12);
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        heard.clear();
        prompt.answers = {Answer::Yes};  // to saving first, whose file dialog is then cancelled
        w->runModal = [&](QDialog& d) {
            heard += ' ' + QString(d.metaObject()->className()).section(':', 2);  // without "rvm::"
            if (!qobject_cast<JumpDialog*>(&d)) return;
            d.show();  // centred on the screen, not on the window
            const QPoint off = d.geometry().center() - d.screen()->availableGeometry().center();
            QVERIFY(off.manhattanLength() <= 2);
            QApplication::setActiveWindow(&d);
            QVERIFY(QTest::qWaitForWindowActive(&d));
            static_cast<JumpDialog&>(d).pageList->setFocus();
            press(keys.section('|', 1));
            heard += d.isVisible() ? " still open" : "";
            d.hide();
            QApplication::setActiveWindow(w.get());
        };
        press(keys.section('|', 0, 0));
        heard += QString(" help").repeated(prompt.started.size());
        heard += QString(" save as").repeated(prompt.saveDialogs);
        heard += QString(" open").repeated(prompt.openDialogs) + (prompt.asked.empty() ? "" : " asked");
        heard += QString(" beep").repeated(prompt.beeps);
        QCOMPARE(seen() + heard, want);

        w->resize(w->width() + 77, w->height() + 33);
        const QSize size = w->size();
        w->doc.setChanged(false);
        prompt.answers = {Answer::No, Answer::Yes};
        w->close();
        QVERIFY(w->isVisible() && !w->ended());  // closing asks first
        w->close();  // the end of the program keeps the view
        QVERIFY(w->ended());
        start(three);
        QCOMPARE(w->size(), size);
        QCOMPARE(seen().section(' ', -1), want.section(' ', 5, 5));
        QCOMPARE(slurp(dir.file("Ravmemo.ini")), std::string("Hide = 1\r\nIEPlace = xdg-open\r\n"));
    }

    // Each half and cover is named for a screen reader, the covers as buttons
    // that say whether their half is open; a covered half's box is hidden and
    // holds no text, and its cover takes the keyboard in its place. "Press:"
    // presses a button as a screen reader does.
    void screenReaders_data() {
        QTest::addColumn<int>("hideMode");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("want");
        const QString question = "問題を閉める[open] | 上段（問題）=Q1", opened = " | 答えを閉める[open] | 下段（答え）=A1*";
        const QString covered = " | (下段（答え）=) | 答えを開ける[closed]";
        QTest::newRow("answer covered") << 1 << "" << question + "*" + covered;
        QTest::newRow("tab to the cover") << 1 << "Tab" << question + covered + "*";
        QTest::newRow("space opens") << 1 << "Tab Space" << question + opened;
        QTest::newRow("pressed by the reader") << 1 << "Press:答えを開ける" << question + opened;
        QTest::newRow("question covered") << 0 << "Ctrl+PgDown Ctrl+PgUp"
                                          << "(上段（問題）=) | 問題を開ける[closed]* | 答えを閉める[open] | 下段（答え）=A1";
        QTest::newRow("covered again") << 2 << "Press:答えを閉める" << question + "*" + covered;
    }

    void screenReaders() {
        QFETCH(int, hideMode);
        QFETCH(QString, keys);
        QFETCH(QString, want);
        start(three);
        w->doc.setHideMode(static_cast<std::int16_t>(hideMode));
        w->doc.showPage(0);
        for (const QString& k : keys.split(' ', Qt::SkipEmptyParts)) {
            if (!k.startsWith("Press:")) {
                press(k);
                continue;
            }
            QAccessibleInterface* page = QAccessible::queryAccessibleInterface(w->pageArea);
            for (int i = 0; i < page->childCount(); ++i)
                if (page->child(i)->text(QAccessible::Name) == k.section(':', 1))
                    page->child(i)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
        QCOMPARE(reader(), want);
        for (const auto& [bar, name] : {std::pair<QObject*, QString>(w->toolBar, "ツールバー"), {w->study->menu, "学習"}})
            QCOMPARE(QAccessible::queryAccessibleInterface(bar)->text(QAccessible::Name), name);
    }

    // Text still being composed by an input method when a command changes the
    // page, or a click moves to the other half, lands where it was typed,
    // once, and nowhere else. The input
    // methods as they behave on losing the keyboard: fcitx5 commits the text,
    // ibus commits it and once more a moment later, another drops it. (A key
    // command goes the way of its menu item or toolbar button.)
    void compositionLandsWhereTyped_data() {
        QTest::addColumn<QString>("im");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("want");  // the pages, the page shown, the box with the keyboard
        const char* const commands[][2] = {
            {"next", "日本語Q1/A1 Q2/A2 Q3/A3 2/3 0"},
            {"close", "日本語Q1/A1 Q2/A2 Q3/A3 1/3 0"},  // the question covered, its cover has the keyboard
            {"open the answer", "日本語Q1/A1 Q2/A2 Q3/A3 1/3 1"},
            {"F9", "/ 日本語Q1/A1 Q2/A2 Q3/A3 1/4 0"},  // a blank page before it
            {"click into the answer", "日本語Q1/A1 Q2/A2 Q3/A3 1/3 1"},  // nothing covered
        };
        // (A click is no command: an input method that drops the text then drops it.)
        for (const QString im : {"fcitx5", "ibus", "drops"})
            for (const auto& [command, want] : commands)
                if (im != "drops" || !QString(command).startsWith("click"))
                    QTest::newRow(qPrintable(im + ", " + command)) << im << command << want;
    }

    void compositionLandsWhereTyped() {
        QFETCH(QString, im);
        QFETCH(QString, command);
        QFETCH(QString, want);
        start(three);
        const QString text = QStringLiteral("日本語");
        // The input method, as it reacts to the box losing the keyboard.
        struct FakeInputMethod : QObject {
            QString im, text;
            bool open = true;  // the composition, until committed
            void commit(QObject* to) {
                QInputMethodEvent e;
                e.setCommitString(text);
                QCoreApplication::sendEvent(to, &e);
            }
            bool eventFilter(QObject* box, QEvent* e) override {
                if (e->type() != QEvent::FocusOut || im == "drops" || !open) return false;
                open = false;
                commit(box);
                if (im == "ibus") QTimer::singleShot(0, this, [this] { commit(QGuiApplication::focusObject()); });
                return false;
            }
        } fake;
        fake.im = im;
        fake.text = text;
        w->halfEdit[0]->installEventFilter(&fake);
        if (command == "click into the answer") w->doc.setHideMode(2);
        w->doc.showPage(0);
        w->halfEdit[0]->setFocus();
        QInputMethodEvent composed(text, {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, 3, 1)});
        QCoreApplication::sendEvent(w->halfEdit[0], &composed);
        QCOMPARE(composing(0), text);

        if (command == "next") w->nextButton->trigger();
        if (command == "close") QTest::mouseClick(w->coverAgain[0], Qt::LeftButton);
        if (command == "open the answer") QTest::mouseClick(w->cover[1], Qt::LeftButton);
        if (command == "click into the answer") QTest::mouseClick(w->halfEdit[1]->viewport(), Qt::LeftButton);
        if (command.startsWith('F') || command.startsWith("Ctrl")) press(command);
        QTest::qWait(20);  // for a commit that comes a moment later
        QVERIFY(composing(0).isEmpty() && composing(1).isEmpty() && w->doc.changed());

        w->doc.storeTypedText();
        QStringList pages;
        for (const Page& p : w->doc.deck().pages) pages << QString::fromStdString(p.question + "/" + p.answer);
        QCOMPARE(QString("%1 %2/%3 %4").arg(pages.join(' ')).arg(w->doc.currentPage() + 1)
                     .arg(w->doc.lastPage() + 1).arg(focus()), want);
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
