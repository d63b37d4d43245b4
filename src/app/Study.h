// Learning on top of the main window: the 学習 menu with the pages due,
// grading a page 覚えた or まだ once its hidden half is open, taking a grade
// back, drills in an order of their own, the progress panel in the status
// bar and the record window. The memory (LearnStore) is the learner's, for
// every deck; it lives in the user's data folder or a folder they chose,
// never in the deck file.
#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <optional>

#include "learn/Drill.h"
#include "learn/LearnStore.h"

class QAction;
class QLabel;
class QMenu;
class QToolButton;
class QShortcut;

namespace rvm {

class MainWindow;
struct Deck;

class Study : public QObject {
    Q_OBJECT
public:
    // dataFolder: the program's own data folder, where the memory lives
    // unless memoryFolder names another; empty: kept in memory only.
    Study(MainWindow& w, std::string dataFolder, std::string memoryFolder = {});

    // The clock the learning day is read from; tests set their own.
    std::function<std::chrono::system_clock::time_point()> clock = [] {
        return std::chrono::system_clock::now();
    };
    // The target retention and the day's limits; the retention reschedules
    // every page at once.
    const learn::StudySettings& settings() const { return settings_; }
    void setSettings(const learn::StudySettings& s);

    void startToday();
    void startMissed();
    void grade(learn::Grade g);
    void undoGrade();
    // Back to the normal page view; the page shown stays.
    void leave();
    void showRecord();
    void chooseSettings();
    // The grades of the page shown, its interval and when it is due.
    void showPageRecord();
    void chooseMemoryFolder();
    // The pages of a deck due in 今日の復習 today.
    int dueToday(const Deck& deck);
    // The grade buttons follow the cover: a grade says what was known once
    // the answer was seen.
    void coversChanged();

    bool running() const { return drill_.has_value(); }
    QString progress() const;
    QString notice() const;  // whole, however much of it the status bar shows
    learn::LearnStore& store() { return store_; }
    // The folder the memory lives in now; empty: the usual one.
    const std::string& memoryFolder() const { return chosenFolder_; }

    QMenu* menu = nullptr;
    QAction *todayAction = nullptr, *missedAction = nullptr, *knewAction = nullptr, *notYetAction = nullptr,
            *undoAction = nullptr, *recordAction = nullptr, *pageRecordAction = nullptr,
            *settingsAction = nullptr, *folderAction = nullptr;
    QToolButton *knewButton = nullptr, *notYetButton = nullptr;

    // Another deck took the window: the drill ends, the memory is read again.
    void deckOpened();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void updateMenu();
    learn::Day today() const;
    std::int64_t seconds() const;
    // False when the learner would rather not keep grades under a clock
    // that looks wrong; asked once a run.
    bool clockLooksRight();
    const std::vector<learn::Key>& keys();
    void openStore(const std::string& folder);
    void start(learn::Drill drill, bool missedOnly);
    void showDrillPage();
    void finish();
    void tellStoreTrouble();
    void setRunning(bool on);

    MainWindow& w_;
    std::string dataFolder_, chosenFolder_;
    learn::LearnStore store_;
    learn::LearnStore offRecord_;  // grades under a clock the learner doubts
    std::optional<learn::Drill> drill_;
    std::vector<learn::Key> keys_;
    std::optional<std::uint64_t> keysRevision_;  // the deck's revision keys_ were made from
    std::optional<bool> clockAnswer_;            // the learner's word on a doubtful clock
    QLabel* progress_ = nullptr;
    QLabel* notice_ = nullptr;
    QShortcut* leaveKey_ = nullptr;
    learn::StudySettings settings_;
    int heldBack_ = 0;  // due pages the drill left for a later day
    int shown_ = -1;  // the storage index of the page being drilled
    bool missedOnly_ = false;
};

}  // namespace rvm
