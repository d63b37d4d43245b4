// The learner's memory: the state of each page, found by the page's text
// alone, for the whole user, and the counts of each day. A page known in one
// deck is known wherever the same question and answer stand, so moving,
// renaming or copying a deck keeps it.
//
// The memory lives in a folder (MemoryFiles.h) that may be kept by a
// file-sync program: this store appends only to its own log, each grade on
// disk before grade() returns, and merges what every other writer (another
// window, another machine) has written. What stays with this machine (its
// name, the locks of the writers running here) lives in a local folder that
// is never synced. A memory that cannot be read or kept never stops the
// deck: the store goes on in memory and says so once.
//
// A snapshot carries what replaying its events gives, so an open replays
// only the events after them; every event is read only when something needs
// them all (a fold, a page's grades) or when one came that the snapshot's
// states cannot take (another writer's grade from before them).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "MemoryFiles.h"
#include "PageKey.h"
#include "PageTable.h"
#include "Schedule.h"
#include "files/FileLock.h"

namespace rvm::learn {

// Whether a link in place of the memory's folder itself is followed: yes
// for a folder the learner chose, which may be anything; no for the
// program's own, where a link can only have been planted.
enum class FolderLink { Follow, Refuse };

class LearnStore {
public:
    LearnStore();
    ~LearnStore();
    LearnStore(LearnStore&&) noexcept;
    LearnStore& operator=(LearnStore&&) noexcept;

    // Reads the memory in folder (made when missing); local: this machine's
    // own folder. Both empty: kept in memory only. Histories of earlier
    // versions in legacyFolder are carried over the first time. A link
    // refused is told, and the memory kept in memory only.
    void open(const std::string& folder, const std::string& local, const std::string& legacyFolder = {},
              FolderLink link = FolderLink::Follow);
    // Takes in what other writers added since.
    void refresh();
    // Takes in everything other holds (the memory moved to this folder) and
    // keeps it in this machine's snapshot here; other reads all it has first.
    void takeIn(LearnStore& other);

    // Records a grade at wall time `time` (seconds since 1970), on disk
    // before it returns.
    void grade(Key key, Grade g, Day day, std::int64_t time);
    // Takes back this program's latest grade that still stands; the page's
    // key, or kBlankPage when there is none.
    Key undoGrade(Day day, std::int64_t time);
    bool canUndo() const { return !ownGrades_.empty(); }
    // A page's text was edited here: its memory goes on under the new text,
    // unless that text has one of its own.
    void carry(Key from, Key to, Day day, std::int64_t time);

    // The chance of recall each page is scheduled for (0.7 to 0.99); every
    // page's next interval follows at once.
    void setRetention(double retention);
    double retention() const { return retention_; }

    const PageState* find(Key key) const { return pages_.find(key); }
    // Each grade a page had, under its present text or the texts it was
    // carried from, oldest first. Reads every event first where only a
    // snapshot's states were read.
    struct Review {
        std::int64_t time;
        Day day;
        Grade grade;
        Day due;  // the day it was due again after this grade
    };
    std::vector<Review> reviews(Key key);
    DayCounts counts(Day day) const;
    // The wall time of the latest event of any writer; 0: none yet.
    std::int64_t latestTime() const { return latest_; }

    // "学習の記録を読めませんでした。" or "学習の記録を保存できません。",
    // with the system's reason on a line of its own where there is one, the
    // first time each happens after open(); otherwise empty.
    std::string takeMessage();
    // Whether the last open() or refresh() read everything it found and
    // the last event was kept on disk.
    bool healthy() const { return readWell_ && keptWell_; }

    const std::string& folder() const { return folder_; }
    const std::string& writerName() const { return writer_; }

    // Own logs of writers that have ended hold this many events before a
    // fold puts them into this machine's snapshot.
    static constexpr int kFoldAfter = 4096;

private:
    struct LogState {
        std::uint64_t bytes = 0;  // read up to here
        std::uint32_t writer = 0;
        int damaged = 0;
        std::size_t events = 0;
    };
    std::uint32_t writerIndex(const std::string& name);
    bool add(Event e);  // false: known already
    void addSeeds(const std::map<Key, Seed>& pages, const std::map<Day, DayCounts>& days);
    void readFolder(bool atOpen = false);  // at open: a snapshot's states chosen first
    void readLog(const std::string& name);
    void readSnapshot(const std::string& name);
    // Replays start from the states of the snapshot that holds the most events.
    void chooseCache(const std::vector<std::string>& snapshots);
    // What the cache of snapshot `name` holds, and with states its states too.
    bool readCache(const std::string& name, SnapshotCache& c, bool states) const;
    bool cacheHolds(const SnapshotCache& c) const;  // every event c holds, cache_ holds too
    bool cached(std::uint32_t writer, std::uint64_t seq) const;
    bool afterCache(const Event& e) const;
    // Drops the cache and reads every event; the caller replays.
    void readWhole();
    std::optional<SnapshotCache> cacheOfEvents() const;
    // A page's state from its own events alone and what it adds to each
    // day's counts; none when a carry mixes another page's events in.
    struct Share {
        std::optional<PageState> state;
        std::map<Day, DayCounts> days;
    };
    std::optional<Share> shareOf(Key key) const;
    void sortEvents();
    void replay();
    bool before(const Event& a, const Event& b) const;  // in the one order of all events
    void apply(const Event& e);
    void append(Event e);
    void foldIfDue(bool legacyFound);
    void report(const char* text, const std::string& detail);

    // The memory.
    std::vector<std::string> writers_;
    std::unordered_map<std::string, std::uint32_t> writerOf_;
    std::vector<Event> events_;
    std::unordered_set<std::uint64_t> seen_;  // writer and seq of every event held
    std::map<Key, Seed> seeds_;
    std::map<Day, DayCounts> seedDays_;
    std::map<std::string, LogState> logs_;     // by file name
    std::map<std::string, std::uint64_t> snapshotLogs_;  // bytes of each log some snapshot holds
    // Where replays start when a snapshot's states were read: events_ then
    // holds only the events after them; its held by this store's writer index.
    std::optional<SnapshotCache> cache_;
    double cacheRetention_ = 0;  // the target cache_'s due days are for
    bool wantWhole_ = false;     // an event came that cache_ cannot take
    // What the events make of it.
    PageTable pages_;
    std::unordered_set<Key> seeded_;  // pages whose due day a seed set, as the last replay left them
    std::map<Day, DayCounts> days_;
    std::unordered_set<std::uint64_t> undone_;
    std::int64_t latest_ = 0;
    double retention_ = kRetention;
    bool sorted_ = true;
    std::vector<std::size_t> runs_;    // where each file's events begin, since the last sort
    std::vector<std::uint32_t> rank_;  // each writer's place in the order of names
    std::uint64_t replays_ = 0;        // how often everything was worked out again
    bool applied_ = false;             // every event held is applied, the last one last

    // This writer.
    std::string folder_, local_, machine_, writer_;
    std::uint64_t seq_ = 0;
    std::vector<std::uint64_t> ownGrades_;  // seqs of this run's grades that still stand
    FileLock running_;                      // held while this writer runs
    bool readWell_ = true, keptWell_ = true, toldRead_ = false, toldKeep_ = false;
    std::string message_;
};

}  // namespace rvm::learn
