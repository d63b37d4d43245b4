// The real message boxes with Qt's Japanese texts, the clipboard, the help
// browser's command line and its failures, the program's own help window, and
// the OrderDialog and JumpDialog dialogs, without a person.
#include <sys/wait.h>

#include <QtTest>

#include <QAccessible>
#include <QClipboard>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBlock>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/JapaneseQt.h"
#include "app/QtPrompt.h"
#include "dialogs/JumpDialog.h"
#include "dialogs/OrderDialog.h"

using namespace rvm;
using namespace rvm::test;

class DialogsTest : public QObject {
    Q_OBJECT

    TempDir dir;
    FakeView view;
    FakePrompt prompt;
    std::unique_ptr<Document> doc;
    Help help{prompt, "/"};
    std::mt19937 rng{1};

    void deck(const std::vector<std::string>& upper, const std::vector<int>& order) {
        doc = std::make_unique<Document>(view, prompt);
        Deck d{{}, order};
        for (const auto& q : upper) d.pages.push_back({q, q});
        QVERIFY(doc->replaceDeck(std::move(d)));
    }
    static void pick(QListWidget* l, int row) { l->item(row)->setSelected(true); }

private slots:
    void initTestCase() { QVERIFY(UseJapaneseQt()); }
    void init() { prompt = FakePrompt(); }

    // Esc and close never answer a Yes/No question; with Cancel they cancel.
    // Enter takes the default button, whichever it is. Buttons read in Japanese.
    void questionKeys() {
        const struct { Buttons buttons; Answer defaultButton; QString actions; Answer answer; } rows[] = {
            {Buttons::YesNo, Answer::Yes, "esc close esc enter", Answer::Yes},  // save?
            {Buttons::YesNo, Answer::No, "close enter", Answer::No},  // exit?
            {Buttons::YesNoCancel, Answer::Yes, "esc", Answer::Cancel},
            {Buttons::YesNoCancel, Answer::Yes, "close", Answer::Cancel},
        };
        for (const auto& r : rows) {
            QStringList shown;
            QTimer poll;
            connect(&poll, &QTimer::timeout, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box || !shown.isEmpty()) return;
                for (QAbstractButton* b : box->buttons()) shown << b->text().section('(', 0, 0);
                for (const QString& a : r.actions.split(' ')) {
                    if (!box->isVisible()) break;  // answered: later keys must not change it
                    if (a == "close") box->close();
                    else QTest::keyClick(box->focusWidget(), a == "esc" ? Qt::Key_Escape : Qt::Key_Return);
                }
                if (box->isVisible()) shown << "still open", box->hide();  // a failure, not a hang
            });
            poll.start(10);
            QCOMPARE(QtPrompt().ask("終了しますか？", r.buttons, Icon::Question, r.defaultButton), r.answer);
            shown.sort();
            QCOMPARE(shown.join(' '), "いいえ はい" + QString(r.buttons == Buttons::YesNo ? "" : " キャンセル"));
        }
    }

    // The narrowest box still has room for the whole title in a bold title
    // font, beside a title bar's icon and buttons.
    void messageBoxShowsItsWholeTitle() {
        int width = 0;
        QTimer::singleShot(0, this, [&] {
            width = QApplication::activeModalWidget()->width();
            QApplication::activeModalWidget()->close();
        });
        QtPrompt().message("x", Icon::None);
        QFont bold;
        bold.setBold(true);
        QVERIFY(width >= QFontMetrics(bold).horizontalAdvance("Ravolin Memorel") + 4 * QFontMetrics(bold).height());
    }

    // Page text goes to and comes from the system clipboard as it is.
    void clipboardTextAsItIs() {
        QtPrompt().setClipboardText("\x1e" "a\r\nb\x1eりんご");
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("\x1e" "a\r\nb\x1eりんご"));
        QGuiApplication::clipboard()->setText(QStringLiteral("い"));
        QCOMPARE(QtPrompt().clipboardText(), std::optional<std::string>("い"));
    }

    // A browser path is taken whole when it names a file, else split as a
    // command line; the help page comes last, as one argument.
    void helpBrowserCommandLine() {
        std::filesystem::create_directory(dir.path / "my browser");
        // Records its arguments beside itself, in a folder with a blank.
        const QString browser = QString::fromStdString(dir.file("my browser/rec"));
        spit(browser.toStdString(),
             "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
        std::filesystem::permissions(browser.toStdString(), std::filesystem::perms::owner_all);
        const char* const page = "/opt/my app/Help/Help.htm";
        const std::pair<QString, QStringList> rows[] = {  // empty: the start fails
            {browser, {page}}, {'"' + browser + "\" -new", {"-new", page}}, {browser + "x", {}}, {"", {}}};
        const std::string record = browser.toStdString() + ".args";
        for (const auto& [program, recorded] : rows) {
            std::filesystem::remove(record);
            QCOMPARE(QtPrompt().startProgram(program.toStdString(), {page}, [] {}), !recorded.isEmpty());
            QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(slurp(record)).split('\n', Qt::SkipEmptyParts),
                                      recorded, 5000);
        }
    }

    // A browser that ends with an error soon after it started (a launcher
    // that finds no browser) is noticed, a crash too; a clean end or a
    // failure after the watch is not. Every process is reaped.
    void helpBrowserFailingLater_data() {
        QTest::addColumn<QString>("script");  // $1: a file it touches when it ends
        QTest::addColumn<int>("watchMs");
        QTest::addColumn<bool>("failed");
        QTest::newRow("ends well") << "touch \"$1\"" << 10000 << false;
        QTest::newRow("fails") << "touch \"$1\"; exit 4" << 10000 << true;
        QTest::newRow("crashes") << "touch \"$1\"; kill -9 $$" << 10000 << true;
        QTest::newRow("fails after the watch") << "sleep 1; touch \"$1\"; exit 1" << 100 << false;
    }
    void helpBrowserFailingLater() {
        QFETCH(QString, script);
        QFETCH(int, watchMs);
        QFETCH(bool, failed);
        const std::string ended = dir.file("ended"), program = dir.file("browser");
        std::filesystem::remove(ended);
        spit(program, "#!/bin/sh\n" + script.toStdString() + "\n");
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        bool noticed = false;
        QtPrompt p;
        p.watchMs = watchMs;
        QVERIFY(p.startProgram(program, {ended}, [&] { noticed = true; }));
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(ended), 5000);
        // Reaped once it ended: no child of this test is left, not even a zombie.
        siginfo_t child{};
        QTRY_VERIFY_WITH_TIMEOUT(waitid(P_ALL, 0, &child, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD, 5000);
        QCOMPARE(noticed, failed);
    }

    // When no browser can show it, help shows in the program's own window,
    // the same one each time, within the screen: its title, its Japanese
    // text and picture, a caret the arrow keys move (which a screen reader
    // reads line by line), the notice above it, its links taken by click or
    // by Tab and Enter, the caret going along; Esc closes it. A page it
    // cannot read is refused.
    void helpInTheProgramsOwnWindow() {
        const std::string page = QFINDTESTDATA("../../resources/Help/Help.htm").toStdString();
        QtPrompt p;
        QVERIFY(!p.showHelpPage(dir.file("missing.htm"), "") && !p.showHelpPage(dir.path.string(), ""));
        QVERIFY(p.showHelpPage(page, "") && p.showHelpPage(page, "why"));
        HelpWindow* w = p.helpWindow();
        QTextEdit* help = w->page;
        QVERIFY(QTest::qWaitForWindowActive(w) && help->isReadOnly() && help->hasFocus() && w->notice->text() == "why");
        QVERIFY(w->screen()->availableGeometry().contains(w->frameGeometry()) && w->notice->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Ravolin Memorel ヘルプ"));
        QCOMPARE(QAccessible::queryAccessibleInterface(w)->role(), QAccessible::Window);
        QAccessibleInterface* document = QAccessible::queryAccessibleInterface(help);
        QCOMPARE(document->text(QAccessible::Name) + '|' + document->text(QAccessible::Description), "ヘルプ|why");
        QVERIFY(help->toPlainText().contains(QStringLiteral("一問一答の問題を作れます。")));
        QVERIFY(!help->document()->resource(QTextDocument::ImageResource, QUrl("record.png")).isNull());
        QTest::keyClick(help, Qt::Key_Down);
        QCOMPARE(help->textCursor().blockNumber(), 1);
        QTest::keyClick(help, Qt::Key_Tab);
        QCOMPARE(help->textCursor().selectedText(), QStringLiteral("ページを書く"));  // the first link
        QTextCursor link = help->document()->find(QStringLiteral("キー一覧"));
        link.setPosition(link.selectionStart() + 1);
        QTest::mouseClick(help->viewport(), Qt::LeftButton, {}, help->cursorRect(link).center());
        QTRY_VERIFY(help->verticalScrollBar()->value() > 0);
        QTest::keyClick(help, Qt::Key_Tab, Qt::ShiftModifier);  // from the caret, gone there: the link before it
        QTest::keyClick(help, Qt::Key_Return);
        QCOMPARE(help->textCursor().block().text(), QStringLiteral("設定"));
        QTest::keyClick(help, Qt::Key_Escape);
        QVERIFY(!w->isVisible() && p.showHelpPage(page, "") && w->notice->isHidden());
    }

    // The lists are named by their labels, the picture buttons by what they do.
    void listsAndButtonsAreNamed() {
        deck({"a"}, {0});
        OrderDialog o(*doc, help, prompt, rng, nullptr);
        JumpDialog j(*doc, help, nullptr);
        QStringList names;
        for (QWidget* w : std::initializer_list<QWidget*>{o.currentOrderList, o.newOrderList, o.moveButton[1],
                                                          o.moveButton[0], j.pageList})
            names << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        QCOMPARE(names.join('|'), QStringLiteral("現在の順序|新しい順序|新しい順序へ移す|現在の順序へ戻す|ページ一覧"));
    }

    // Each opening starts on OK; Enter and Esc on the list close nothing.
    // Rows picked go first in the order picked, the rest follow; a picked
    // row selected again goes back, to the top or before the row selected.
    // Only the storage numbers count, not the texts' own leading digits.
    void orderByHandTemporaryThenPermanent() {
        deck({"10", "20", "30", "40", "50"}, {0, 1, 2, 3, 4});
        OrderDialog o(*doc, help, prompt, rng, nullptr);
        for (bool temporary : {true, false}) {
            o.prepare();
            o.show();
            QVERIFY(QTest::qWaitForWindowActive(&o));
            QTRY_COMPARE(QApplication::focusWidget(), o.okButton);
            o.currentOrderList->setFocus();  // left elsewhere: the next opening starts on OK again
            QTest::keyClick(o.currentOrderList, Qt::Key_Escape);
            QTest::keyClick(o.currentOrderList, Qt::Key_Return);
            QVERIFY(o.isVisible() && prompt.asked.empty() && o.temporaryBox->isChecked());
            pick(o.currentOrderList, 2);
            emit o.currentOrderList->itemDoubleClicked(o.currentOrderList->item(2));  // at first: 30
            for (int row : {0, 2}) {  // 10, 50
                pick(o.currentOrderList, row);
                o.moveButton[1]->click();
            }
            pick(o.newOrderList, 2);  // 50 back to the top
            pick(o.currentOrderList, 2);
            pick(o.newOrderList, 0);  // 30 back before 40: 10 50 20 30 40
            o.temporaryBox->setChecked(temporary);
            o.okButton->click();
            if (temporary) QCOMPARE(doc->deck().displayOrder, (std::vector<int>{0, 4, 1, 2, 3}));
        }
        std::vector<std::string> questions;
        for (const Page& p : doc->deck().pages) questions.push_back(p.question);
        QCOMPARE(questions, (std::vector<std::string>{"10", "40", "50", "20", "30"}));
        QCOMPARE(doc->deck().displayOrder, (std::vector<int>{0, 1, 2, 3, 4}));
    }

    // Nothing picked: a warning. Random and the first order exclude each
    // other and the lists, are kept between openings and need no picking.
    void emptyOrderWarnsAndTheBoxesExcludeEachOther() {
        deck({"a", "b"}, {1, 0});
        OrderDialog o(*doc, help, prompt, rng, nullptr);
        o.prepare();
        o.okButton->click();
        QVERIFY(prompt.asked.size() == 1 && prompt.asked[0].icon == Icon::Warning && !doc->changed());
        QCOMPARE(prompt.asked[0].text, std::string("並び順が指定されていません。"));
        o.randomBox->setChecked(true);
        o.storageOrderBox->setChecked(true);
        QVERIFY(!o.randomBox->isChecked() && !o.currentOrderList->isEnabled() && !o.newOrderList->isEnabled());
        o.okButton->click();  // the first order back
        QVERIFY(doc->changed() && doc->deck().displayOrder == (std::vector<int>{0, 1}));
        o.prepare();
        QVERIFY(o.storageOrderBox->isChecked());  // kept between openings
        o.storageOrderBox->setChecked(false);
        QVERIFY(o.currentOrderList->isEnabled() && o.newOrderList->isEnabled());
        o.randomBox->setChecked(true);
        o.okButton->click();  // random: nothing to pick, so no warning
        doc->setChanged(false);
        o.cancelButton->click();  // with the random box still checked
        QVERIFY(!doc->changed() && !o.isVisible() && prompt.asked.size() == 1);
    }

    // JumpDialog's rows in display order; a row picked goes there, Cancel stays,
    // nothing picked: the first.
    void jumpGoesToThePickedRow() {
        deck({"犬\r\nいぬ", "猫", "鳥"}, {2, 0, 1});
        JumpDialog j(*doc, help, nullptr);
        j.prepare();
        QCOMPARE(j.pageList->item(0)->text() + j.pageList->item(1)->text(), QStringLiteral("  3:鳥  1:犬 いぬ"));
        pick(j.pageList, 2);
        emit j.pageList->itemDoubleClicked(j.pageList->item(2));
        QCOMPARE(view.status, std::string("3枚目  2ページ  全3枚"));
        pick(j.pageList, 1);
        j.cancelButton->click();
        QCOMPARE(doc->currentPage(), 2);
        j.prepare();
        j.okButton->click();
        QCOMPARE(doc->currentPage(), 0);
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
