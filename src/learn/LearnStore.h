// A deck's learning history: the state of each page by its key and the
// counts of each day. It lives in the user's data folder, in one file per
// deck named after the deck's path, never in the deck file, so a read-only
// deck keeps one too. Each grade is appended to a log beside that file and
// is on disk before grade() returns; opening folds a long log into the file.
// A history that cannot be read or kept never stops the deck: the store
// goes on in memory and says so once.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "PageKey.h"
#include "PageTable.h"
#include "Schedule.h"

namespace rvm::learn {

class LearnStore {
public:
    // Reads the history of the deck at deckPath (UTF-8) from folder. An
    // untitled deck (empty path) starts an empty history that is kept in
    // memory until deckSavedAs(). deckKeys are the keys of the deck as
    // opened: pages no longer in it are dropped when the file is rewritten.
    void open(const std::string& folder, const std::string& deckPath, const std::vector<Key>& deckKeys);
    // Records a grade, on disk before it returns.
    void grade(Key key, Grade g, Day day);
    // The deck has been saved under deckPath (Save As, or the first save of
    // an untitled deck): the history goes with it, and the deck it was saved
    // from keeps its own.
    void deckSavedAs(const std::string& deckPath);

    const PageState* find(Key key) const;  // nullptr: never graded
    DayCounts counts(Day day) const;
    // "学習の記録を読めませんでした。" or "学習の記録を保存できません。",
    // with the system's reason on a line of its own where there is one, the
    // first time each happens after open(); otherwise empty.
    std::string takeMessage();

    // The history file of the deck at deckPath; its log is the same name
    // with ".log" added.
    static std::string HistoryPath(const std::string& folder, const std::string& deckPath);

private:
    enum class Read { Fine, Damaged, NotOurs };
    void setDeck(const std::string& deckPath);
    Read readHistory(std::string_view text);
    void replay(std::string_view log, bool& damaged, bool& torn, int& lines);
    std::string historyText() const;
    void writeWhole(const std::vector<Key>* live);
    void report(const char* text, const std::string& detail);

    PageTable pages_;
    std::map<Day, DayCounts> days_;
    std::string folder_, deck_, history_, log_;  // history_ empty: kept in memory only
    std::uint64_t seq_ = 0;                      // the number of the last grade
    bool toldRead_ = false, toldKeep_ = false;
    std::string message_;
};

}  // namespace rvm::learn
