// Learning on top of the main window: the 学習 menu, grading a page
// 覚えた or まだ once its hidden half is open, drills in an order of their
// own, the progress panel in the status bar and the record window. The
// history lives in the user's data folder, never in the deck file.
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

class Study : public QObject {
    Q_OBJECT
public:
    // folder: where the histories are kept.
    Study(MainWindow& w, std::string folder);

    // The clock the learning day is read from; tests set their own.
    std::function<std::chrono::system_clock::time_point()> clock = [] {
        return std::chrono::system_clock::now();
    };
    int newPagesPerDay = learn::kNewPagesPerDay;

    void startToday();
    void startMissed();
    void grade(learn::Grade g);
    // Back to the normal page view; the page shown stays.
    void leave();
    void showRecord();
    void chooseNewPagesPerDay();

    bool running() const { return drill_.has_value(); }
    QString progress() const;
    QString notice() const;
    learn::LearnStore& store() { return store_; }

    QMenu* menu = nullptr;
    QAction *todayAction = nullptr, *missedAction = nullptr, *knewAction = nullptr,
            *notYetAction = nullptr, *recordAction = nullptr, *newPagesAction = nullptr;
    QToolButton *knewButton = nullptr, *notYetButton = nullptr;

private:
    void deckOpened();
    void deckSavedAs();
    learn::Day today() const;
    // The page keys of the deck as it stands, made again only after it changed.
    const std::vector<learn::Key>& keys();
    void start(learn::Drill drill, bool missedOnly);
    void showDrillPage();
    void finish();
    void tellStoreTrouble();
    void setRunning(bool on);

    MainWindow& w_;
    std::string folder_;
    learn::LearnStore store_;
    std::optional<learn::Drill> drill_;
    std::vector<learn::Key> keys_;
    std::optional<std::uint64_t> keysRevision_;  // the deck's revision keys_ were made from
    QLabel* progress_ = nullptr;
    QLabel* notice_ = nullptr;
    QShortcut* leaveKey_ = nullptr;
    int shown_ = -1;  // the storage index of the page being drilled
    bool missedOnly_ = false;
};

}  // namespace rvm
