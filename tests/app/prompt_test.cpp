// The real message boxes with Qt's Japanese texts, the first focus and place
// of the dialogs, and the help browser's command line.
#include <QtTest>

#include <QMessageBox>
#include <QScreen>
#include <functional>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/JapaneseQt.h"
#include "app/QtPrompt.h"
#include "dialogs/Jump.h"
#include "dialogs/Order.h"

using namespace rvm;
using namespace rvm::test;

Q_DECLARE_METATYPE(rvm::Buttons)
Q_DECLARE_METATYPE(rvm::Answer)

class PromptTest : public QObject {
    Q_OBJECT

    TempDir dir;
    QString browser, record;

private slots:
    void initTestCase() {
        QVERIFY(UseJapaneseQt());
        // A stand-in browser in a folder with a blank, recording its arguments.
        std::filesystem::create_directory(dir.path / "my browser");
        browser = QString::fromStdString(dir.file("my browser/rec"));
        record = browser + ".args";
        spit(browser.toStdString(), "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
        std::filesystem::permissions(browser.toStdString(), std::filesystem::perms::owner_all);
    }

    // Esc and close never answer a Yes/No question; with Cancel they cancel.
    // Enter takes the default button, whichever it is. Buttons read in Japanese.
    void questionKeys_data() {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<Answer>("defaultButton");
        QTest::addColumn<QString>("actions");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("save first?") << Buttons::YesNo << Answer::Yes << "esc close esc enter" << Answer::Yes;
        QTest::newRow("exit?") << Buttons::YesNo << Answer::No << "close enter" << Answer::No;
        QTest::newRow("save, then exit? Esc") << Buttons::YesNoCancel << Answer::Yes << "esc" << Answer::Cancel;
        QTest::newRow("save, then exit? close") << Buttons::YesNoCancel << Answer::Yes << "close" << Answer::Cancel;
    }
    void questionKeys() {
        QFETCH(Buttons, buttons);
        QFETCH(Answer, defaultButton);
        QFETCH(QString, actions);
        QFETCH(Answer, answer);
        QStringList shown;
        QTimer poll, guard;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !shown.isEmpty()) return;
            for (QAbstractButton* b : box->buttons()) shown << b->text().section('(', 0, 0);
            for (const QString& a : actions.split(' ')) {
                if (!box->isVisible()) break;  // answered: later keys must not change it
                if (a == "close") box->close();
                else QTest::keyClick(box->focusWidget(), a == "esc" ? Qt::Key_Escape : Qt::Key_Return);
            }
        });
        // A box the keys left open is closed here, so the test fails instead of hanging.
        bool stuck = false;
        connect(&guard, &QTimer::timeout, this, [&] {
            if (QWidget* w = QApplication::activeModalWidget()) { stuck = true; w->hide(); }
        });
        poll.start(10);
        guard.start(5000);
        QtPrompt prompt;
        const Answer got = prompt.ask("現在のファイルを保存しますか？", buttons, Icon::Question, defaultButton);
        QVERIFY2(!stuck, "the box was still open after the keys");
        QCOMPARE(got, answer);
        QStringList want{"いいえ", "はい"};
        if (buttons == Buttons::YesNoCancel) want << "キャンセル";
        shown.sort();
        want.sort();
        QCOMPARE(shown, want);
    }

    void dialogsOpenWhereTheKeyboardExpects() {
        FakeView view;
        FakePrompt fake;
        Document doc(view, fake);
        doc.List1 = doc.List2 = {"a", "b", "c"};
        doc.List3 = {0, 1, 2};
        doc.MaxPage = 2;
        QWidget owner;
        owner.setGeometry(0, 0, 200, 150);
        owner.show();
        Order order(doc, &owner);
        for (int opening = 0; opening < 2; ++opening) {
            owner.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&owner));
            order.ToOrder();
            order.show();
            order.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&order));
            QTRY_COMPARE(QApplication::focusWidget(), order.OKButton);
            order.OList->setFocus();  // left elsewhere: the next opening starts on OK again
            order.hide();
        }
        Jump jump(doc, &owner);
        jump.JumpPrepare();
        jump.show();
        const QPoint off = jump.geometry().center() - owner.screen()->availableGeometry().center();
        QVERIFY2(off.manhattanLength() <= 2, "Jump is centred on the screen");
    }

    // A browser path is taken whole when it names a file, else split as a
    // command line; the help page comes last, as one argument.
    void helpBrowserCommandLine_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("recorded");  // empty: the start fails
        const QString page = "/opt/my app/Help/Help.htm";
        QTest::newRow("file with blanks") << browser << QStringList{page};
        QTest::newRow("quoted, with a flag") << "\"" + browser + "\" --new-window" << QStringList{"--new-window", page};
        QTest::newRow("runner and arguments") << "sh \"" + browser + "\" run org.example.App"
                                              << QStringList{"run", "org.example.App", page};
        QTest::newRow("missing") << QString::fromStdString(dir.file("no browser")) << QStringList{};
        QTest::newRow("empty") << QString() << QStringList{};
    }
    void helpBrowserCommandLine() {
        QFETCH(QString, program);
        QFETCH(QStringList, recorded);
        QFile::remove(record);
        QtPrompt prompt;
        QCOMPARE(prompt.startDetached(program.toStdString(), {"/opt/my app/Help/Help.htm"}),
                 !recorded.isEmpty());
        if (recorded.isEmpty()) return;
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 5000);
        QCOMPARE(QString::fromStdString(slurp(record.toStdString())).split('\n', Qt::SkipEmptyParts), recorded);
    }
};

QTEST_MAIN(PromptTest)
#include "prompt_test.moc"
