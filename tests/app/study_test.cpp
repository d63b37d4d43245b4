// Drilling with a memory, as a learner does it from the keyboard: 今日の復習,
// uncover, grade, finish; days later, after a restart, the right pages
// come due. The clock is the test's.
#include <QtTest>

#include <QSpinBox>
#include <QToolButton>

#include "app/RecentDecks.h"
#include "app/RecordWindow.h"
#include "app/Study.h"
#include "app/StudySettingsDialog.h"
#include "app/WindowFixture.h"

using namespace rvm;
using namespace rvm::test;
using namespace std::chrono;

class StudyTest : public QObject, WindowFixture {
    Q_OBJECT

    // Noon UTC on a day in December: far from any day turn in most zones.
    const system_clock::time_point noon = sys_days(year{2026} / 12 / 7) + hours(12);
    system_clock::time_point now = noon;
    std::string learnFolder;
    int retention = 90;  // what 学習 > 設定 is given

    void startOn(const std::string& deck) {
        start(dir.file(deck), learnFolder, [this](MainWindow& m) {
            m.runModal = [this](QDialog& d) {
                if (auto* settings = qobject_cast<StudySettingsDialog*>(&d)) {
                    settings->retention->setValue(retention);
                    return settings->accept();
                }
                auto* record = qobject_cast<RecordWindow*>(&d);
                QVERIFY(record);  // the record window is the only other dialog on this road
                QCOMPARE(record->due->bars().front().low, 3);
            };
            m.study->clock = [this] { return now; };
        });
    }

private slots:
    // Learning days follow the local clock: the test's zone is fixed.
    void initTestCase() {
        qputenv("TZ", "UTC");
        tzset();
    }
    void init() {
        std::filesystem::remove_all(dir.path);
        std::filesystem::create_directories(dir.path);
        layOutThree();
        learnFolder = dir.file("learn");
        retention = 90;
        now = noon;
    }

    void drillRoad_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");  // page, progress, beeps, deck changed, what was said
        const QString all = " Ctrl+Return Ctrl+2 Ctrl+Return Ctrl+2 Ctrl+Return Ctrl+2";
        const QString done = "said:今日の復習は終わりました。\r○ 3  × 0\r次の復習は3日後 (12月10日)、3 ページです。";
        QTest::newRow("new pages, graded once open") << "today Ctrl+2" + all << "Q3 - beeps:1 changed:0 " + done;
        QTest::newRow("by mouse") << "today Ctrl+Return knew Ctrl+Return knew Ctrl+Return notyet"
                                  << "Q3 残り 1  ○ 2  × 1 beeps:0 changed:0 said:";
        QTest::newRow("まだ comes back") << "today Ctrl+Return Ctrl+1 Ctrl+Return Ctrl+2"
                                          << "Q3 残り 2  ○ 1  × 1 beeps:0 changed:0 said:";
        QTest::newRow("missed pages again")
            << "today Ctrl+Return Ctrl+1" + all + " missed Ctrl+Return Ctrl+2"
            << "Q1 - beeps:0 changed:0 said:今日の復習は終わりました。\r○ 2  × 1\r次の復習は明日 (12月8日)、1 ページです。"
               "|間違えたページは終わりました。\r○ 2  × 1\r次の復習は明日 (12月8日)、1 ページです。";
        QTest::newRow("nothing due twice a day") << "today" + all + " today"
                                                 << "Q3 - beeps:0 changed:0 " + done + "|" + done.mid(5);
        QTest::newRow("known at once: due three days later, after a restart")
            << "today" + all + " restart:three.rvm day:3 today" << "Q1 残り 3  ○ 0  × 0 beeps:0 changed:0 said:";
        QTest::newRow("not before 4:00 that day")
            << "today" + all + " restart:three.rvm hour:63 today"
            << "Q1 - beeps:0 changed:0 said:今日復習するページはありません。\r次の復習は明日 (12月10日)、3 ページです。";
        QTest::newRow("Save As takes the history along")
            << "today" + all + " saveas:two.rvm restart:two.rvm day:3 record today"
            << "Q1 残り 3  ○ 0  × 0 beeps:0 changed:0 said:";
        QTest::newRow("a lower target: later")
            << "today" + all + " target:80 day:3 today"
            << "Q3 - beeps:0 changed:0 " + done + "|今日復習するページはありません。\r次の復習は5日後 (12月15日)、3 ページです。";
        QTest::newRow("new pages a day") << "new:2 today" << "Q1 残り 2  ○ 0  × 0 beeps:0 changed:0 said:";
        QTest::newRow("Esc leaves the drill") << "today Escape" << "Q1 - beeps:0 changed:0 said:";
        QTest::newRow("a step leaves the drill") << "today Ctrl+PgDown Ctrl+2" << "Q2 - beeps:0 changed:0 said:";
        QTest::newRow("grade buttons wait for the cover") << "today knew Ctrl+Return knew"
                                                          << "Q2 残り 2  ○ 1  × 0 beeps:0 changed:0 said:";
        QTest::newRow("Ctrl+Z takes grades back, from the text box too")
            << "today Ctrl+Return Ctrl+2 Ctrl+Return Ctrl+1 Ctrl+Z Ctrl+Z" << "Q1 残り 3  ○ 0  × 0 beeps:0 changed:0 said:";
        QTest::newRow("a typo fixed keeps the page's memory")
            << "today" + all + " edit new:0 day:3 today" << "Q1 残り 3  ○ 0  × 0 beeps:0 changed:1 " + done;
        QTest::newRow("a clock far ahead is asked about")
            << "today" + all + " day:400 today Ctrl+Return Ctrl+2"
            << "Q2 残り 2  ○ 1  × 0 beeps:0 changed:0 " + done + "|日付が 2028年1月11日 になっています。このまま記録しますか？";
        QTest::newRow("no history kept: the deck still works")
            << "nofolder today Ctrl+Return Ctrl+2"
            << "Q2 残り 2  ○ 1  × 0 beeps:0 changed:0 said: 学習の記録を保存できません。";
    }
    void drillRoad() {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        if (steps.startsWith("nofolder")) spit(learnFolder, "a file where the folder should be");
        startOn("three.rvm");
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            const QString arg = step.section(':', 1);
            if (step == "nofolder") continue;
            if (step == "today") w->study->todayAction->trigger();
            else if (step == "missed") w->study->missedAction->trigger();
            else if (step == "record") w->study->recordAction->trigger();
            else if (step == "knew") w->study->knewButton->click();
            else if (step == "notyet") w->study->notYetButton->click();
            else if (step.startsWith("new:"))
                w->study->setSettings({learn::kRetention, arg.toInt(), learn::kReviewsPerDay});
            else if (step == "edit") w->halfEdit[0]->setPlainText(w->halfEdit[0]->toPlainText() + "x");
            else if (step.startsWith("day:")) now = noon + days(arg.toInt());
            else if (step.startsWith("target:")) retention = arg.toInt(), w->study->settingsAction->trigger();
            else if (step.startsWith("hour:")) now = noon + hours(arg.toInt());
            else if (step.startsWith("restart:")) startOn(arg.toStdString());
            else if (step.startsWith("saveas:")) {
                prompt.saveChoices.push_back(dir.file(arg.toStdString()));
                w->files.saveAs();
            } else {
                key(step);
            }
        }
        QStringList said;
        for (const Asked& a : prompt.asked) said << QString::fromStdString(a.text);
        const QString progress = w->study->running() ? w->study->progress() : "-";
        const QString notice = w->study->notice().isEmpty() ? "" : " " + w->study->notice().section(' ', 0, 0);
        QCOMPARE(QString("%1 %2 beeps:%3 changed:%4 said:%5%6")
                     .arg(QString::fromStdString(w->doc.deck().pages[w->doc.storageIndex(w->doc.currentPage())].question),
                          progress)
                     .arg(prompt.beeps)
                     .arg(w->doc.changed())
                     .arg(said.join('|'), notice),
                 expected);
        // The deck file is never touched by learning.
        QCOMPARE(slurp(three).size(), std::size_t(42));
    }

    // The 学習 menu and ﾌｧｲﾙ > 最近使ったファイル count what is due before
    // a drill starts; a recent deck opens as Open would.
    void dueCountsBeforeStarting() {
        startOn("three.rvm");
        auto menuTexts = [this] {
            emit w->study->menu->aboutToShow();
            return w->study->todayAction->text() + " " + w->study->missedAction->text() + " " +
                   w->recentDecks->captions().join(' ');
        };
        QCOMPARE(menuTexts(), QStringLiteral("今日の復習 (3)(&T) 間違えたページ (0)(&M) &1 three.rvm (3)"));
        w->study->todayAction->trigger();
        for (const char* k : {"Ctrl+Return", "Ctrl+1", "Ctrl+Return", "Ctrl+2"}) key(k);
        w->study->leave();
        spit(dir.file("other.rvm"), slurp(three));
        w->files.openDroppedDeck(dir.file("other.rvm"));
        QCOMPARE(menuTexts(), QStringLiteral("今日の復習 (2)(&T) 間違えたページ (1)(&M) &1 other.rvm (2) &2 three.rvm (2)"));
    }
};

QTEST_MAIN(StudyTest)
#include "study_test.moc"
