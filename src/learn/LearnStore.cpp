#include "LearnStore.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <unordered_set>
#include <utility>

#include "files/FileIo.h"

namespace rvm::learn {
namespace fs = std::filesystem;
namespace {

const char* const kCannotRead = "学習の記録を読めませんでした。";
const char* const kCannotKeep = "学習の記録を保存できません。";
constexpr std::string_view kHeader = "Ravolin Memorel learning history 1";
// Many times the history of the largest deck: anything larger is not ours,
// and reading it would only hold up the deck.
constexpr std::uint64_t kMaxHistoryBytes = std::uint64_t{64} << 20;
// Replaying this many grades costs about as much as reading the history.
constexpr int kFoldAfter = 4096;

fs::path toPath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string fromPath(const fs::path& p) {
    const std::u8string s = p.u8string();
    return {s.begin(), s.end()};
}

// One name for each deck: absolute, links resolved where the file exists.
std::string deckName(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(toPath(path), ec);
    if (ec) p = fs::absolute(toPath(path), ec);
    return ec ? path : fromPath(p);
}

bool makeFolder(const std::string& folder, std::string& error) {
    std::error_code ec;
    fs::create_directories(toPath(folder), ec);
    if (ec) error = DescribeErrno(ec.value());
    return !ec;
}

// Kept for the user to look at, out of the way of a fresh history.
void putAside(const std::string& path) {
    std::error_code ec;
    fs::rename(toPath(path), toPath(path + ".bad"), ec);
}

// The next line of text without its LF; false at the end or at a last line
// without one, which a crash cut short.
bool nextLine(std::string_view& text, std::string_view& line) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos) return false;
    line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return true;
}

// The blank-separated fields of a line; fewer than N or more is no line of ours.
template <std::size_t N>
bool split(std::string_view line, std::array<std::string_view, N>& fields) {
    for (auto& f : fields) {
        const auto end = std::min(line.find(' '), line.size());
        f = line.substr(0, end);
        line.remove_prefix(std::min(end + 1, line.size()));
        if (f.empty()) return false;
    }
    return line.empty();
}

template <class T>
bool number(std::string_view s, T& value, int base = 10) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    return ec == std::errc() && end == s.data() + s.size();
}

template <class T>
void put(std::string& out, T value, int base = 10, char after = ' ') {
    char buf[24];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, value, base).ptr);
    out += after;
}

// Line breaks in a path would break the line that names the deck.
std::string oneLine(std::string s) {
    std::replace_if(s.begin(), s.end(), [](char c) { return c == '\n' || c == '\r'; }, '?');
    return s;
}

std::string logLine(std::uint64_t seq, Day day, Key key, Grade g) {
    std::string line;
    put(line, seq);
    put(line, day);
    put(line, key, 16);
    put(line, static_cast<int>(g));
    // A line that reached the disk only in part fails its check.
    put(line, Hash64(line) & 0xFFFFFFFFu, 16, '\n');
    return line;
}

}  // namespace

std::string LearnStore::HistoryPath(const std::string& folder, const std::string& deckPath) {
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(Hash64(deckName(deckPath))));
    return fromPath(toPath(folder) / (std::string(name) + ".rvmlearn"));
}

void LearnStore::setDeck(const std::string& deckPath) {
    deck_ = deckName(deckPath);
    history_ = folder_.empty() ? "" : HistoryPath(folder_, deck_);
    log_ = history_.empty() ? "" : history_ + ".log";
}

void LearnStore::open(const std::string& folder, const std::string& deckPath,
                      const std::vector<Key>& deckKeys) {
    *this = LearnStore();
    folder_ = folder;
    if (deckPath.empty()) return;
    setDeck(deckPath);
    std::error_code ec;
    if (history_.empty() || !fs::is_directory(toPath(folder_), ec)) return;  // nothing kept yet
    std::string bytes, error;
    bool damaged = false, torn = false;
    int lines = 0;
    const ReadStatus status = ReadWholeFile(history_, bytes, error, kMaxHistoryBytes);
    pages_.reserve(bytes.size() / 40);  // about one line's length
    const Read read = status == ReadStatus::Ok ? readHistory(bytes) : Read::Fine;
    if ((status != ReadStatus::Ok && status != ReadStatus::NotFound) || read == Read::NotOurs) {
        // The log went with that file; both start afresh.
        pages_ = {};
        days_.clear();
        seq_ = 0;
        putAside(history_);
        putAside(log_);
        damaged = true;
    } else {
        damaged = read == Read::Damaged;
        const ReadStatus logStatus = ReadWholeFile(log_, bytes, error, kMaxHistoryBytes);
        if (logStatus == ReadStatus::Ok) replay(bytes, damaged, torn, lines);
        if (logStatus != ReadStatus::Ok && logStatus != ReadStatus::NotFound) {
            putAside(log_);
            damaged = true;
        }
    }
    if (damaged) report(kCannotRead, error);
    // A torn last line is cut off before anything is appended after it.
    if (damaged || torn || lines >= kFoldAfter) writeWhole(&deckKeys);
}

LearnStore::Read LearnStore::readHistory(std::string_view text) {
    std::string_view line;
    std::array<std::string_view, 2> pair;  // "seq n", "end n"
    if (!nextLine(text, line) || line != kHeader || !nextLine(text, line) ||
        line != "deck " + oneLine(deck_) || !nextLine(text, line) || !split(line, pair) || pair[0] != "seq" ||
        !number(pair[1], seq_))
        return Read::NotOurs;
    std::size_t records = 0, good = 0;
    std::array<std::string_view, 5> day;
    std::array<std::string_view, 6> page;
    while (nextLine(text, line)) {
        Day d = 0;
        DayCounts c;
        Key key = 0;
        PageState p;
        int stage = 0;
        if (line.starts_with("page ")) {
            if (!split(line, page) || !number(page[1], key, 16) || key == kBlankPage ||
                !number(page[2], stage) || stage < 0 || stage > kTopStage || !number(page[3], p.due) ||
                !number(page[4], p.last) || !number(page[5], p.missed))
                continue;
            p.stage = static_cast<std::int8_t>(stage);
            pages_[key] = p;
        } else if (line.starts_with("day ")) {
            if (!split(line, day) || !number(day[1], d) || !number(day[2], c.reviewed) ||
                !number(day[3], c.missed) || !number(day[4], c.introduced))
                continue;
            days_[d] = c;
        } else if (line.starts_with("end ")) {
            const bool whole = split(line, pair) && number(pair[1], records) && records == good;
            return whole && text.empty() ? Read::Fine : Read::Damaged;
        } else {
            continue;
        }
        ++good;
    }
    return Read::Damaged;  // cut short
}

void LearnStore::replay(std::string_view log, bool& damaged, bool& torn, int& lines) {
    const std::uint64_t folded = seq_;
    std::string_view line;
    std::array<std::string_view, 5> f;
    for (; nextLine(log, line); ++lines) {
        std::uint64_t seq = 0, check = 0;
        Day day = 0;
        Key key = 0;
        int g = 0;
        if (!split(line, f) || !number(f[0], seq) || !number(f[1], day) || !number(f[2], key, 16) ||
            key == kBlankPage || !number(f[3], g) || g < 0 || g > 1 || !number(f[4], check, 16) ||
            check != (Hash64(line.substr(0, line.size() - f[4].size())) & 0xFFFFFFFFu)) {
            damaged = true;
            continue;
        }
        // Lines the history already holds are left over from a fold cut short.
        if (seq <= folded) continue;
        ApplyGrade(pages_[key], static_cast<Grade>(g), day, days_[day]);
        seq_ = std::max(seq_, seq);
    }
    torn = !log.empty();
}

std::string LearnStore::historyText() const {
    std::string text;
    text.reserve(64 * (pages_.size() + days_.size() + 4));
    text.append(kHeader) += "\ndeck " + oneLine(deck_) + "\nseq ";
    put(text, seq_, 10, '\n');
    for (const auto& [day, c] : days_) {
        text += "day ";
        put(text, day);
        put(text, c.reviewed);
        put(text, c.missed);
        put(text, c.introduced, 10, '\n');
    }
    pages_.forEach([&](Key key, const PageState& p) {
        text += "page ";
        put(text, key, 16);
        put(text, static_cast<int>(p.stage));
        put(text, p.due);
        put(text, p.last);
        put(text, p.missed, 10, '\n');
    });
    text += "end ";
    put(text, days_.size() + pages_.size(), 10, '\n');
    return text;
}

void LearnStore::writeWhole(const std::vector<Key>* live) {
    if (history_.empty()) return;
    if (live && !live->empty()) {
        const std::unordered_set<Key> keep(live->begin(), live->end());
        pages_.keepIf([&](Key key) { return keep.contains(key); });
    }
    std::string error;
    if (!makeFolder(folder_, error) || !WriteFileAtomic(history_, historyText(), error))
        return report(kCannotKeep, error);
    std::error_code ec;
    fs::remove(toPath(log_), ec);
}

void LearnStore::grade(Key key, Grade g, Day day) {
    if (key == kBlankPage) return;
    ApplyGrade(pages_[key], g, day, days_[day]);
    ++seq_;
    if (history_.empty()) return;
    std::string error;
    if (!makeFolder(folder_, error) || !AppendToFile(log_, logLine(seq_, day, key, g), error))
        report(kCannotKeep, error);
}

void LearnStore::deckSavedAs(const std::string& deckPath) {
    const std::string before = history_;
    setDeck(deckPath);
    if (history_ == before) return;
    // The log of a deck this one replaced is no part of this history.
    std::error_code ec;
    fs::remove(toPath(log_), ec);
    writeWhole(nullptr);
}

const PageState* LearnStore::find(Key key) const {
    return pages_.find(key);
}

DayCounts LearnStore::counts(Day day) const {
    const auto it = days_.find(day);
    return it == days_.end() ? DayCounts{} : it->second;
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
