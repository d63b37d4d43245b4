// The learner's memory on disk. Every running program appends to a log of
// its own; a machine now and then folds what it has read into a snapshot of
// its own. Nothing is ever written to another writer's file, so a file-sync
// folder carries the memory between machines without a conflict.
//
// A log: a header line naming its writer, then one event a line, each with
// a checksum, so a line cut short or damaged is skipped and the others read.
// A snapshot: the writers it knows, the bytes of each log it holds, the
// states carried over from older histories, and every event it holds; after
// its end, where every reader of it stops, a cache of what replaying those
// events gives, so that a reader replays only the events that came after.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "PageKey.h"
#include "PageTable.h"
#include "Schedule.h"

namespace rvm::learn {

struct Event {
    enum class Kind : std::uint8_t { Grade, Carry, Undo };
    Kind kind = Kind::Grade;
    Grade grade = Grade::Knew;
    std::uint32_t writer = 0;  // the index of the writer's name in the reader's list
    std::uint64_t seq = 0;     // the writer's own count, from 1
    std::int64_t time = 0;     // wall time, seconds since 1970 (UTC)
    Day day = 0;               // the learning day it counted for
    Key key = kBlankPage;      // the page graded; Carry: the text it came from
    Key other = kBlankPage;    // Carry: the new text; Undo: the seq taken back
};

inline constexpr std::string_view kLogHeader = "Ravolin Memorel memory log 1 ";
inline constexpr std::string_view kSnapshotHeader = "Ravolin Memorel memory 1";

// One log line, with its LF.
std::string LogLine(const Event& e);
// The header line of writer's log, with its LF.
std::string LogHeader(const std::string& writer);

// What a reader makes of a log's text.
struct LogRead {
    std::string writer;          // from the header; empty: not a log of ours
    std::vector<Event> events;   // writer left 0 for the caller to set
    std::uint64_t bytes = 0;     // up to the end of the last whole line
    int damaged = 0;             // lines skipped
};
// from: the bytes read before, at a line's start; only what follows is read.
LogRead ReadLog(std::string_view text, std::uint64_t from = 0);

struct Snapshot {
    std::vector<std::string> writers;
    std::map<std::string, std::uint64_t> logs;  // log file name: bytes held
    std::map<Key, Seed> seeds;             // states from older histories
    std::map<Day, DayCounts> seedDays;
    std::vector<Event> events;                  // writer: index into writers
    int damaged = 0;                            // lines skipped, or a missing end
};
std::string SnapshotText(const Snapshot& s);
Snapshot ReadSnapshot(std::string_view text);

// Every page's state and every day's counts after a snapshot's events.
struct SnapshotCache {
    // The events held of one writer: its seqs up to upTo, but for the gaps
    // damaged lines left.
    struct Held {
        std::string writer;
        std::uint64_t upTo = 0;
        std::vector<std::uint64_t> gaps;  // ascending
        bool holds(std::uint64_t seq) const;
    };
    std::vector<Held> held;
    // The last event held, in the one order of all events; writer: an index into held.
    std::int64_t lastTime = 0;
    std::uint32_t lastWriter = 0;
    std::uint64_t lastSeq = 0;
    std::uint64_t seeds = 0;  // SeedsDigest of the seeds the states began from
    PageTable pages;
    std::unordered_set<Key> seeded;  // pages whose due day a seed set, the same at any retention
    std::map<Day, DayCounts> days;
};
// The same for the same seeds, wherever they were read.
std::uint64_t SeedsDigest(const std::map<Key, Seed>& seeds, const std::map<Day, DayCounts>& days);
// Adds the cache after a snapshot's text. Its last line says where its two
// parts lie, so a reader reads the file's last bytes and then only the
// part it needs: what the cache holds, and the states.
void AddCache(std::string& snapshot, const SnapshotCache& c);
struct CacheAt {
    std::uint64_t begin = 0, states = 0, end = 0;  // offsets in the file
    std::uint32_t headCheck = 0, statesCheck = 0;
};
inline constexpr std::size_t kCacheTail = 96;  // the most the last line takes
// From a snapshot's last bytes (up to kCacheTail) and its size.
std::optional<CacheAt> FindCache(std::string_view tail, std::uint64_t size);
// The bytes from at.begin to at.states: what the cache holds, into c; false
// when damaged.
bool ReadCacheHead(std::string_view text, const CacheAt& at, SnapshotCache& c);
// The bytes from at.states to at.end: the states, into c.
bool ReadCacheStates(std::string_view text, const CacheAt& at, SnapshotCache& c);

}  // namespace rvm::learn
