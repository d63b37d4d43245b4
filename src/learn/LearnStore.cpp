#include "LearnStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <utility>

#include "LegacyHistory.h"
#include "files/FileIo.h"

namespace rvm::learn {
namespace fs = std::filesystem;
namespace {

const char* const kCannotRead = "学習の記録を読めませんでした。";
const char* const kCannotKeep = "学習の記録を保存できません。";
// Far more than years of grades: anything larger is not ours, and reading
// it would only hold up the deck.
constexpr std::uint64_t kMaxFileBytes = std::uint64_t{256} << 20;
constexpr std::string_view kLog = ".log", kSnapshot = ".snapshot";

fs::path toPath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string fromPath(const fs::path& p) {
    const std::u8string s = p.u8string();
    return {s.begin(), s.end()};
}

std::string join(const std::string& folder, const std::string& name) { return fromPath(toPath(folder) / toPath(name)); }

std::string randomName() {
    std::random_device rd;
    char name[17];
    std::snprintf(name, sizeof name, "%08x%08x", rd(), rd());
    return name;
}

bool makeFolder(const std::string& folder, std::string& error) {
    std::error_code ec;
    fs::create_directories(toPath(folder), ec);
    if (ec) error = DescribeErrno(ec.value());
    return !ec;
}

// Events a writer made, one number each.
std::uint64_t eventId(std::uint32_t writer, std::uint64_t seq) { return std::uint64_t{writer} << 40 | seq; }

// This machine's name: made once, kept in the local folder.
std::string machineName(const std::string& local) {
    const std::string path = join(local, "machine");
    std::string name, error;
    if (ReadOwnFile(path, name, error, 64) == ReadStatus::Ok && name.size() == 16 &&
        name.find_first_not_of("0123456789abcdef") == std::string::npos)
        return name;
    name = randomName();
    WriteOwnFile(path, name, error);
    return name;
}

bool endsWith(const std::string& s, std::string_view end) { return s.size() > end.size() && s.ends_with(end); }

// count bytes of file from offset on; false when fewer came.
bool readPart(FileReader& file, std::uint64_t offset, std::uint64_t count, std::string& bytes) {
    std::string error;
    bytes.resize(static_cast<std::size_t>(count));
    std::size_t done = 0, got = 1;
    if (file.seek(offset, error) != ReadStatus::Ok) return false;
    while (done < bytes.size() && got > 0) {
        if (file.read(bytes.data() + done, bytes.size() - done, got, error) != ReadStatus::Ok) return false;
        done += got;
    }
    return done == bytes.size();
}

// A writer's seqs held with more gaps than this (lines damaged by the
// thousand, or a seq far beyond any real one) get no cache: read whole.
constexpr std::uint64_t kMostGaps = 4096;

}  // namespace

LearnStore::LearnStore() = default;
LearnStore::~LearnStore() = default;
LearnStore::LearnStore(LearnStore&&) noexcept = default;
LearnStore& LearnStore::operator=(LearnStore&&) noexcept = default;

std::uint32_t LearnStore::writerIndex(const std::string& name) {
    const auto [it, fresh] = writerOf_.try_emplace(name, static_cast<std::uint32_t>(writers_.size()));
    if (fresh) {
        writers_.push_back(name);
        sorted_ = false;  // the writers' places in the order change
    }
    return it->second;
}

bool LearnStore::add(Event e) {
    if (cached(e.writer, e.seq) || !seen_.insert(eventId(e.writer, e.seq)).second) return false;
    // Before the cache's last event, or taking back one of its grades: its
    // states are not the ones this event follows.
    if (cache_ && (!afterCache(e) || (e.kind == Event::Kind::Undo && cached(e.writer, e.other)))) wantWhole_ = true;
    applied_ = false;
    if (e.kind == Event::Kind::Undo) undone_.insert(eventId(e.writer, e.other));
    events_.push_back(e);
    sorted_ = false;
    return true;
}

void LearnStore::open(const std::string& folder, const std::string& local, const std::string& legacyFolder,
                      FolderLink link) {
    *this = {};
    folder_ = folder;
    local_ = local;
    std::string error;
    std::error_code ec;
    if (link == FolderLink::Refuse && fs::is_symlink(toPath(folder_), ec)) error = DescribeErrno(ELOOP);
    if (!error.empty() || folder_.empty() || local_.empty() || !makeFolder(join(local_, "runs"), error)) {
        if (!error.empty()) report(kCannotKeep, error);
        keptWell_ = error.empty();  // kept in memory only, as asked or for want of a folder
        folder_.clear();
        writer_ = "here";
        return;
    }
    machine_ = machineName(local_);
    const std::string run = randomName();
    writer_ = machine_ + "-" + run;
    writerIndex(writer_);  // placed in the order now, not at the first grade
    running_.tryLock(join(join(local_, "runs"), run + ".lock"));
    if (!makeFolder(folder_, error)) report(kCannotKeep, error);
    readFolder(true);
    bool legacy = false;
    const std::string done = join(local_, "earlier-histories-read");
    if (!legacyFolder.empty() && !FileOpensForReading(done)) {
        LegacyHistory old = ReadLegacyHistories(legacyFolder);
        addSeeds(old.pages, old.days);
        legacy = !old.pages.empty() || !old.days.empty();
        WriteOwnFile(done, "", error);
    }
    if (wantWhole_ || (legacy && cache_)) readWhole();
    replay();
    foldIfDue(legacy);
}

void LearnStore::refresh() {
    if (folder_.empty()) return;
    readWell_ = true;
    readFolder();
    if (wantWhole_) readWhole();
    if (!applied_) replay();
}

// The same states may come from several snapshots: a page keeps its latest,
// a day its highest counts.
void LearnStore::addSeeds(const std::map<Key, Seed>& pages, const std::map<Day, DayCounts>& days) {
    for (const auto& [key, p] : pages) {
        auto [it, fresh] = seeds_.try_emplace(key, p);
        if (!fresh && p.last > it->second.last) it->second = p;
    }
    for (const auto& [day, c] : days) {
        DayCounts& d = seedDays_[day];
        d = {std::max(d.reviewed, c.reviewed), std::max(d.missed, c.missed), std::max(d.introduced, c.introduced)};
    }
}

void LearnStore::takeIn(LearnStore& other) {
    other.readWhole();
    readWhole();
    runs_.push_back(events_.size());
    for (Event e : other.events_) {
        e.writer = writerIndex(other.writers_[e.writer]);
        add(e);
    }
    addSeeds(other.seeds_, other.seedDays_);
    replay();
    foldIfDue(true);
}

void LearnStore::readFolder(bool atOpen) {
    std::error_code ec;
    std::vector<std::string> logs, snapshots;
    for (const auto& entry : fs::directory_iterator(toPath(folder_), ec)) {
        std::error_code kind;
        // Links are never followed out of the folder.
        if (entry.symlink_status(kind).type() != fs::file_type::regular) continue;
        const std::string name = fromPath(entry.path().filename());
        if (endsWith(name, kLog)) logs.push_back(name);
        if (endsWith(name, kSnapshot)) snapshots.push_back(name);
    }
    if (ec) {
        readWell_ = false;
        report(kCannotRead, DescribeErrno(ec.value()));
    }
    if (atOpen) chooseCache(snapshots);
    for (const std::string& name : logs) readLog(name);
    // After the logs: a log folded and removed meanwhile is in a snapshot by now.
    for (const std::string& name : snapshots) readSnapshot(name);
}

void LearnStore::chooseCache(const std::vector<std::string>& snapshots) {
    const std::string* best = nullptr;
    std::uint64_t most = 0;
    for (const std::string& name : snapshots) {
        SnapshotCache c;
        if (!readCache(name, c, false)) continue;
        std::uint64_t events = 0;
        for (const SnapshotCache::Held& h : c.held) events += h.upTo - h.gaps.size();
        if (events > most) most = events, best = &name;
    }
    SnapshotCache c;
    if (!best || !readCache(*best, c, true)) return;
    // By this store's numbers of writers.
    std::vector<SnapshotCache::Held> held;
    const std::uint32_t last = writerIndex(c.held[c.lastWriter].writer);
    for (SnapshotCache::Held& h : c.held) {
        const std::uint32_t w = writerIndex(h.writer);
        held.resize(std::max<std::size_t>(held.size(), w + 1));
        held[w] = std::move(h);
    }
    c.held = std::move(held);
    c.lastWriter = last;
    cache_ = std::move(c);
    cacheRetention_ = 0;  // its due days are worked out for this store's target
}

bool LearnStore::readCache(const std::string& name, SnapshotCache& c, bool states) const {
    FileReader file;
    std::string error, tail, part;
    if (file.openOwn(join(folder_, name), error) != ReadStatus::Ok || file.size() > kMaxFileBytes) return false;
    const std::uint64_t from = file.size() - std::min<std::uint64_t>(file.size(), kCacheTail);
    std::optional<CacheAt> at;
    return readPart(file, from, file.size() - from, tail) && (at = FindCache(tail, file.size())) &&
           readPart(file, at->begin, at->states - at->begin, part) && ReadCacheHead(part, *at, c) &&
           (!states || (readPart(file, at->states, at->end - at->states, part) && ReadCacheStates(part, *at, c)));
}

bool LearnStore::cacheHolds(const SnapshotCache& c) const {
    static const std::uint64_t noSeeds = SeedsDigest({}, {});
    if (c.seeds != cache_->seeds && c.seeds != noSeeds) return false;
    for (const SnapshotCache::Held& h : c.held) {
        if (h.upTo == 0) continue;
        const auto w = writerOf_.find(h.writer);
        if (w == writerOf_.end() || w->second >= cache_->held.size()) return false;
        const SnapshotCache::Held& mine = cache_->held[w->second];
        if (h.upTo > mine.upTo) return false;
        for (const std::uint64_t gap : mine.gaps)
            if (gap <= h.upTo && !std::binary_search(h.gaps.begin(), h.gaps.end(), gap)) return false;
    }
    return true;
}

bool LearnStore::cached(std::uint32_t writer, std::uint64_t seq) const {
    return cache_ && writer < cache_->held.size() && cache_->held[writer].holds(seq);
}

bool LearnStore::afterCache(const Event& e) const {
    return std::tie(e.time, writers_[e.writer], e.seq) >
           std::tie(cache_->lastTime, writers_[cache_->lastWriter], cache_->lastSeq);
}

void LearnStore::readWhole() {
    wantWhole_ = false;
    if (!cache_) return;
    cache_.reset();
    applied_ = false;
    for (auto& [name, log] : logs_) log = {};  // read again from their start
    readFolder();
}

void LearnStore::readLog(const std::string& name) {
    std::string bytes, error;
    const ReadStatus status = ReadOwnFile(join(folder_, name), bytes, error, kMaxFileBytes);
    if (status == ReadStatus::NotFound) return;
    if (status != ReadStatus::Ok) {
        readWell_ = false;
        return report(kCannotRead, status == ReadStatus::Error ? error : std::string());
    }
    runs_.push_back(events_.size());
    LogState& state = logs_[name];
    if (bytes.size() == state.bytes) return;
    const LogRead r = ReadLog(bytes, state.bytes);
    if (r.writer.empty()) return;  // not one of ours
    state.writer = writerIndex(r.writer);
    state.bytes = r.bytes;
    state.damaged += r.damaged;
    state.events += r.events.size();
    for (Event e : r.events) {
        e.writer = state.writer;
        add(e);
    }
    if (r.damaged) {
        readWell_ = false;
        report(kCannotRead, {});
    }
}

void LearnStore::readSnapshot(const std::string& name) {
    // Nothing to read in a snapshot whose every event the cache holds.
    if (SnapshotCache c; cache_ && readCache(name, c, false) && cacheHolds(c)) return;
    std::string bytes, error;
    const ReadStatus status = ReadOwnFile(join(folder_, name), bytes, error, kMaxFileBytes);
    if (status == ReadStatus::NotFound) return;
    Snapshot s;
    if (status == ReadStatus::Ok)
        s = ReadSnapshot(bytes);
    else
        s.damaged = 1;
    std::vector<std::uint32_t> index;
    for (const std::string& w : s.writers) index.push_back(writerIndex(w));
    runs_.push_back(events_.size());
    events_.reserve(events_.size() + s.events.size());
    seen_.reserve(seen_.size() + s.events.size());
    for (Event e : s.events) {
        e.writer = index[e.writer];
        add(e);
    }
    // Seeds the cache's states did not begin from.
    if (cache_ && (!s.seeds.empty() || !s.seedDays.empty()) && SeedsDigest(s.seeds, s.seedDays) != cache_->seeds)
        wantWhole_ = true;
    addSeeds(s.seeds, s.seedDays);
    for (const auto& [log, held] : s.logs) snapshotLogs_[log] = std::max(snapshotLogs_[log], held);
    if (s.damaged) {
        readWell_ = false;
        report(kCannotRead, status == ReadStatus::Error ? error : std::string());
    }
}

void LearnStore::sortEvents() {
    if (!sorted_) {
        // One order for every reader: by time, then by writer and number.
        rank_.assign(writers_.size(), 0);
        std::vector<std::uint32_t> byName(writers_.size());
        for (std::uint32_t i = 0; i < byName.size(); ++i) byName[i] = i;
        std::sort(byName.begin(), byName.end(), [&](auto a, auto b) { return writers_[a] < writers_[b]; });
        for (std::uint32_t r = 0; r < byName.size(); ++r) rank_[byName[r]] = r;
        // Snapshots hold their events in this order already and logs grow in
        // it, so each file's run is merged in rather than all sorted again.
        const auto order = [&](const Event& a, const Event& b) { return before(a, b); };
        runs_.push_back(events_.size());
        std::size_t merged = 0;
        for (const std::size_t end : runs_) {
            if (end <= merged) continue;
            const auto from = events_.begin() + static_cast<std::ptrdiff_t>(merged), to = events_.begin() + static_cast<std::ptrdiff_t>(end);
            if (!std::is_sorted(from, to, order)) std::sort(from, to, order);
            if (merged > 0 && order(*from, *(from - 1))) std::inplace_merge(events_.begin(), from, to, order);
            merged = end;
        }
        runs_.clear();
        sorted_ = true;
    }
}

void LearnStore::replay() {
    sortEvents();
    ++replays_;
    if (cache_) {
        if (cacheRetention_ != retention_) {
            cache_->pages.forEach([this](Key key, PageState& p) {
                if (!cache_->seeded.contains(key)) p.due = DueAt(p, retention_);
            });
            cacheRetention_ = retention_;
        }
        pages_ = cache_->pages;
        seeded_ = cache_->seeded;
        days_ = cache_->days;
        latest_ = cache_->lastTime;
    } else {
        pages_ = PageTable();
        pages_.reserve(seeds_.size() + events_.size() / 4);
        seeded_.clear();
        for (const auto& [key, p] : seeds_) {
            pages_[key] = FromSeed(p);
            seeded_.insert(key);
        }
        days_ = seedDays_;
        latest_ = 0;
    }
    for (const Event& e : events_) apply(e);
    applied_ = true;
}

bool LearnStore::before(const Event& a, const Event& b) const {
    return std::tie(a.time, rank_[a.writer], a.seq) < std::tie(b.time, rank_[b.writer], b.seq);
}

void LearnStore::apply(const Event& e) {
    latest_ = std::max(latest_, e.time);
    switch (e.kind) {
    case Event::Kind::Grade:
        if (!undone_.contains(eventId(e.writer, e.seq))) {
            ApplyGrade(pages_[e.key], e.grade, e.day, days_[e.day], retention_);
            if (!seeded_.empty()) seeded_.erase(e.key);
        }
        break;
    case Event::Kind::Carry:
        if (const PageState* from = pages_.find(e.key); from && !pages_.find(e.other)) {
            const PageState state = *from;
            pages_[e.other] = state;
            if (seeded_.contains(e.key)) seeded_.insert(e.other);
        }
        break;
    case Event::Kind::Undo:
        break;
    }
}

void LearnStore::append(Event e) {
    e.writer = writerIndex(writer_);
    e.seq = ++seq_;
    if (cache_ && !afterCache(e)) readWhole();  // a clock put back
    // Most events come after all the others: applied as they come. One that
    // does not (a clock put back) or that takes a grade back changes what
    // came after it.
    runs_.push_back(events_.size());
    const bool atEnd = applied_ && sorted_ && e.writer < rank_.size() && (events_.empty() || before(events_.back(), e));
    add(e);
    if (atEnd && e.kind == Event::Kind::Undo) {
        sorted_ = applied_ = true;  // the caller works out what it changes
    } else if (atEnd) {
        sorted_ = applied_ = true;  // it went to the end, where it belongs
        apply(e);
    } else {
        replay();
    }
    if (folder_.empty()) return;
    const std::string name = writer_ + std::string(kLog);
    std::string line = logs_.contains(name) ? std::string() : LogHeader(writer_), error;
    line += LogLine(e);
    keptWell_ = AppendToFile(join(folder_, name), line, error);
    if (!keptWell_) return report(kCannotKeep, error);
    logs_[name].writer = e.writer;
    logs_[name].bytes += line.size();
}

void LearnStore::grade(Key key, Grade g, Day day, std::int64_t time) {
    if (key == kBlankPage) return;
    append({.kind = Event::Kind::Grade, .grade = g, .time = time, .day = day, .key = key});
    ownGrades_.push_back(seq_);
}

Key LearnStore::undoGrade(Day day, std::int64_t time) {
    if (ownGrades_.empty()) return kBlankPage;
    const std::uint64_t seq = ownGrades_.back();
    ownGrades_.pop_back();
    const std::uint32_t own = writerIndex(writer_);
    const auto it = std::find_if(events_.rbegin(), events_.rend(),
                                 [&](const Event& e) { return e.writer == own && e.seq == seq; });
    const Key key = it == events_.rend() ? kBlankPage : it->key;
    // Only this page's state and its share of the days change: worked out
    // from its own events, which spares replaying every other page.
    const std::optional<Share> was = applied_ && sorted_ ? shareOf(key) : std::nullopt;
    const std::uint64_t replays = replays_;
    append({.kind = Event::Kind::Undo, .time = time, .day = day, .other = seq});
    if (replays_ != replays) return key;  // worked out whole already
    const std::optional<Share> is = was ? shareOf(key) : std::nullopt;
    if (!is) {
        replay();
        return key;
    }
    for (const auto& [d, c] : was->days) days_[d] = {days_[d].reviewed - c.reviewed, days_[d].missed - c.missed,
                                                     days_[d].introduced - c.introduced};
    for (const auto& [d, c] : is->days) days_[d] = {days_[d].reviewed + c.reviewed, days_[d].missed + c.missed,
                                                    days_[d].introduced + c.introduced};
    if (is->state)
        pages_[key] = *is->state;
    else
        pages_.keepIf([key](Key k) { return k != key; });
    return key;
}

std::optional<LearnStore::Share> LearnStore::shareOf(Key key) const {
    Share share;
    std::optional<PageState> start;  // before the events held
    if (cache_) {
        if (const PageState* p = cache_->pages.find(key)) start = *p;
    } else if (const auto seed = seeds_.find(key); seed != seeds_.end()) {
        start = FromSeed(seed->second);
    }
    PageState page = start.value_or(PageState{});
    bool graded = start.has_value();
    for (const Event& e : events_) {
        if (e.kind == Event::Kind::Carry && (e.key == key || e.other == key)) return std::nullopt;
        if (e.kind != Event::Kind::Grade || e.key != key || undone_.contains(eventId(e.writer, e.seq))) continue;
        ApplyGrade(page, e.grade, e.day, share.days[e.day], retention_);
        graded = true;
    }
    if (graded) share.state = page;
    return share;
}

void LearnStore::carry(Key from, Key to, Day day, std::int64_t time) {
    if (from == to || to == kBlankPage || !pages_.find(from) || pages_.find(to)) return;
    append({.kind = Event::Kind::Carry, .time = time, .day = day, .key = from, .other = to});
}

void LearnStore::setRetention(double retention) {
    retention = std::clamp(retention, 0.7, 0.99);
    if (retention == retention_) return;
    retention_ = retention;
    replay();
}

std::vector<LearnStore::Review> LearnStore::reviews(Key key) {
    // The page's own grades and those of every text its memory was carried
    // from: a replay of all grades that keeps the reviews of each text.
    readWhole();
    sortEvents();
    PageTable states;
    std::unordered_map<Key, std::vector<Review>> all;
    for (const auto& [k, p] : seeds_) states[k] = FromSeed(p);
    for (const Event& e : events_) {
        if (e.kind == Event::Kind::Grade && !undone_.contains(eventId(e.writer, e.seq))) {
            PageState& p = states[e.key];
            DayCounts ignored;
            ApplyGrade(p, e.grade, e.day, ignored, retention_);
            all[e.key].push_back({e.time, e.day, e.grade, p.due});
        } else if (e.kind == Event::Kind::Carry && states.find(e.key) && !states.find(e.other)) {
            const PageState carried = *states.find(e.key);
            states[e.other] = carried;
            all[e.other] = all[e.key];
        }
    }
    const auto it = all.find(key);
    return it == all.end() ? std::vector<Review>{} : it->second;
}

DayCounts LearnStore::counts(Day day) const {
    const auto it = days_.find(day);
    return it == days_.end() ? DayCounts{} : it->second;
}

void LearnStore::foldIfDue(bool force) {
    if (folder_.empty()) return;
    // This machine's logs of writers that have ended: theirs to fold.
    struct Ended {
        std::string name;
        FileLock lock;
    };
    std::vector<Ended> ended;
    std::size_t events = 0;
    const std::string prefix = machine_ + "-", own = writer_ + std::string(kLog);
    for (const auto& [name, state] : logs_) {
        if (name == own || !name.starts_with(prefix) || writers_[state.writer] != name.substr(0, name.size() - 4)) continue;
        const std::string run = name.substr(prefix.size(), name.size() - prefix.size() - kLog.size());
        FileLock lock;
        if (!lock.tryLock(join(join(local_, "runs"), run + ".lock"))) continue;  // still running
        ended.push_back({name, std::move(lock)});
        events += state.events;
    }
    if (!force && events < kFoldAfter && ended.size() < 16) return;
    FileLock folding;
    if (!folding.tryLock(join(local_, "fold.lock"))) return;  // another window folds
    readWhole();  // a snapshot holds every event
    for (const Ended& e : ended) readLog(e.name);  // what they wrote since
    replay();
    Snapshot s;
    s.writers = writers_;
    s.seeds = seeds_;
    s.seedDays = seedDays_;
    s.logs = snapshotLogs_;
    for (const auto& [name, state] : logs_) s.logs[name] = std::max(s.logs[name], state.bytes);
    s.events = std::move(events_);  // lent for the writing, not copied
    std::string text = SnapshotText(s);
    events_ = std::move(s.events);
    if (const std::optional<SnapshotCache> cache = cacheOfEvents()) AddCache(text, *cache);
    const std::string path = join(folder_, machine_ + std::string(kSnapshot));
    std::string error;
    // A damaged snapshot of this machine's is kept aside, never overwritten.
    if (!readWell_ && FileOpensForReading(path)) {
        std::error_code ec;
        fs::rename(toPath(path), toPath(path + ".bad-" + randomName()), ec);
    }
    if (!WriteOwnFile(path, text, error)) return report(kCannotKeep, error);
    for (Ended& e : ended) {
        const std::string log = join(folder_, e.name);
        std::error_code ec;
        if (fs::file_size(toPath(log), ec) != logs_[e.name].bytes && !ec) continue;  // a torn end: kept as it is
        // A log with damaged lines is kept aside; the others are in the snapshot now.
        if (logs_[e.name].damaged)
            fs::rename(toPath(log), toPath(log + ".bad"), ec);
        else
            fs::remove(toPath(log), ec);
        if (!ec) logs_.erase(e.name);
        const std::string run = e.name.substr(prefix.size(), e.name.size() - prefix.size() - kLog.size());
        e.lock.release();
        fs::remove(toPath(join(join(local_, "runs"), run + ".lock")), ec);
    }
}

std::optional<SnapshotCache> LearnStore::cacheOfEvents() const {
    if (events_.empty()) return std::nullopt;
    SnapshotCache c;
    std::vector<std::uint64_t> count(writers_.size());
    c.held.resize(writers_.size());
    for (std::uint32_t w = 0; w < writers_.size(); ++w) c.held[w].writer = writers_[w];
    for (const Event& e : events_) {
        ++count[e.writer];
        c.held[e.writer].upTo = std::max(c.held[e.writer].upTo, e.seq);
    }
    // Gaps are rare (damaged lines): sought only where the seqs say so.
    for (std::uint32_t w = 0; w < writers_.size(); ++w) {
        SnapshotCache::Held& h = c.held[w];
        if (h.upTo - count[w] > kMostGaps) return std::nullopt;
        if (h.upTo == count[w]) continue;
        std::vector<bool> seen(h.upTo + 1);
        for (const Event& e : events_)
            if (e.writer == w) seen[e.seq] = true;
        for (std::uint64_t seq = 1; seq <= h.upTo; ++seq)
            if (!seen[seq]) h.gaps.push_back(seq);
    }
    const Event& last = events_.back();  // in order after the replay
    c.lastTime = last.time;
    c.lastWriter = last.writer;
    c.lastSeq = last.seq;
    c.seeds = SeedsDigest(seeds_, seedDays_);
    c.pages = pages_;
    c.seeded = seeded_;
    c.days = days_;
    return c;
}

std::string LearnStore::takeMessage() { return std::exchange(message_, {}); }

void LearnStore::report(const char* text, const std::string& detail) {
    bool& told = text == kCannotRead ? toldRead_ : toldKeep_;
    if (told) return;
    told = true;
    if (!message_.empty()) message_ += '\r';
    message_ += text;
    if (!detail.empty()) message_ += "\r" + detail;
}

}  // namespace rvm::learn
