// ﾌｧｲﾙ > 最近使ったファイル: the decks opened last, each with the pages
// due in its 今日の復習; choosing one opens it as File > Open would.
#pragma once

#include <QObject>
#include <string>
#include <vector>

class QMenu;

namespace rvm {

class MainWindow;

class RecentDecks : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kKept = 10;

    RecentDecks(MainWindow& w, std::vector<std::string> decks);

    // The deck now in the window goes first (an untitled one is not kept).
    void remember(const std::string& path);
    const std::vector<std::string>& decks() const { return decks_; }
    // The menu's items as they read now: "&1 単語.rvm (12)".
    QStringList captions();

    QMenu* menu = nullptr;

private:
    void fill();

    MainWindow& w_;
    std::vector<std::string> decks_;
};

}  // namespace rvm
