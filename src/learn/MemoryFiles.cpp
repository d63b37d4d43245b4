#include "MemoryFiles.h"

#include <algorithm>
#include <bit>

#include "TextLines.h"

namespace rvm::learn {
namespace {

std::uint32_t checkOf(std::string_view text) { return static_cast<std::uint32_t>(Hash64(text) & 0xFFFFFFFFu); }

// "g seq time day key grade", "c seq time day from to", "u seq time day undone".
void putEvent(std::string& out, const Event& e) {
    out += e.kind == Event::Kind::Grade ? "g " : e.kind == Event::Kind::Carry ? "c " : "u ";
    PutNumber(out, e.seq);
    PutNumber(out, e.time);
    PutNumber(out, e.day);
    if (e.kind == Event::Kind::Undo) {
        PutNumber(out, e.other);
        return;
    }
    PutNumber(out, e.key, 16);
    if (e.kind == Event::Kind::Carry)
        PutNumber(out, e.other, 16);
    else
        PutNumber(out, static_cast<int>(e.grade));
}

// The event of fields (as putEvent writes them), or false.
template <std::size_t N>
bool parseEvent(const std::array<std::string_view, N>& f, std::size_t n, Event& e) {
    if (n < 5 || f[0].size() != 1 || !ReadNumber(f[1], e.seq) || e.seq == 0 || !ReadNumber(f[2], e.time) ||
        !ReadNumber(f[3], e.day))
        return false;
    switch (f[0][0]) {
    case 'g': {
        int g = 0;
        e.kind = Event::Kind::Grade;
        if (n != 6 || !ReadNumber(f[4], e.key, 16) || e.key == kBlankPage || !ReadNumber(f[5], g) || g < 0 || g > 1)
            return false;
        e.grade = static_cast<Grade>(g);
        return true;
    }
    case 'c':
        e.kind = Event::Kind::Carry;
        return n == 6 && ReadNumber(f[4], e.key, 16) && ReadNumber(f[5], e.other, 16) && e.key != kBlankPage &&
               e.other != kBlankPage;
    case 'u':
        e.kind = Event::Kind::Undo;
        return n == 5 && ReadNumber(f[4], e.other);
    default:
        return false;
    }
}

void putSeeds(std::string& text, const std::map<Key, Seed>& seeds, const std::map<Day, DayCounts>& days) {
    for (const auto& [key, p] : seeds) {
        text += "s ";
        PutNumber(text, key, 16);
        PutNumber(text, static_cast<int>(p.stage));
        PutNumber(text, p.due);
        PutNumber(text, p.last);
        PutNumber(text, p.missed, 10, '\n');
    }
    for (const auto& [day, c] : days) {
        text += "d ";
        PutNumber(text, day);
        PutNumber(text, c.reviewed);
        PutNumber(text, c.missed);
        PutNumber(text, c.introduced, 10, '\n');
    }
}

}  // namespace

std::string LogLine(const Event& e) {
    std::string line;
    putEvent(line, e);
    PutNumber(line, checkOf(line), 16, '\n');
    return line;
}

std::string LogHeader(const std::string& writer) { return std::string(kLogHeader) + writer + "\n"; }

LogRead ReadLog(std::string_view text, std::uint64_t from) {
    LogRead r;
    const std::string_view whole = text;
    std::string_view line;
    if (!NextLine(text, line) || !line.starts_with(kLogHeader) || line.size() == kLogHeader.size()) return r;
    r.writer = std::string(line.substr(kLogHeader.size()));
    if (from > whole.size() - text.size() && from <= whole.size()) text = whole.substr(static_cast<std::size_t>(from));
    std::array<std::string_view, 7> f;
    while (NextLine(text, line)) {
        const std::size_t n = SplitFields(line, f);
        std::uint32_t check = 0;
        Event e;
        if (n < 2 || n > f.size() || !ReadNumber(f[n - 1], check, 16) ||
            check != checkOf(line.substr(0, line.size() - f[n - 1].size())) || !parseEvent(f, n - 1, e)) {
            ++r.damaged;
            continue;
        }
        r.events.push_back(e);
    }
    r.bytes = whole.size() - text.size();
    return r;
}

std::string SnapshotText(const Snapshot& s) {
    std::string text;
    text.reserve(48 * (s.events.size() + s.seeds.size()) + 256);
    text.append(kSnapshotHeader) += '\n';
    for (const std::string& w : s.writers) text += "w " + w + "\n";
    for (const auto& [name, bytes] : s.logs) {
        text += "l ";
        PutNumber(text, bytes);
        text += name + "\n";  // last: a name may hold blanks
    }
    putSeeds(text, s.seeds, s.seedDays);
    for (const Event& e : s.events) {
        text += "e ";
        PutNumber(text, e.writer);
        putEvent(text, e);
        text.back() = '\n';
    }
    // The end names what came before it, so a snapshot cut short is known.
    text += "end ";
    PutNumber(text, checkOf(text), 16, '\n');
    return text;
}

Snapshot ReadSnapshot(std::string_view text) {
    Snapshot s;
    const std::string_view whole = text;
    std::string_view line;
    if (!NextLine(text, line) || line != kSnapshotHeader) {
        s.damaged = 1;
        return s;
    }
    std::array<std::string_view, 8> f;
    bool ended = false;
    while (!ended && NextLine(text, line)) {
        if (line.starts_with("l ")) {
            const std::string_view rest = line.substr(2);
            const auto blank = rest.find(' ');
            std::uint64_t bytes = 0;
            const bool good = blank != std::string_view::npos && blank + 1 < rest.size() &&
                              ReadNumber(rest.substr(0, blank), bytes);
            if (good) s.logs[std::string(rest.substr(blank + 1))] = bytes;
            s.damaged += !good;
            continue;
        }
        const std::size_t n = SplitFields(line, f);
        bool good = n >= 2 && n <= f.size();
        if (good && f[0] == "w" && n == 2) {
            s.writers.emplace_back(f[1]);
        } else if (good && f[0] == "s" && n == 6) {
            Key key = 0;
            Seed p;
            int stage = 0;
            good = ReadNumber(f[1], key, 16) && key != kBlankPage && ReadNumber(f[2], stage) && stage >= 0 &&
                   stage <= kTopStage && ReadNumber(f[3], p.due) && ReadNumber(f[4], p.last) && ReadNumber(f[5], p.missed);
            p.stage = static_cast<std::int8_t>(stage);
            if (good) s.seeds[key] = p;
        } else if (good && f[0] == "d" && n == 5) {
            DayCounts c;
            Day day = 0;
            good = ReadNumber(f[1], day) && ReadNumber(f[2], c.reviewed) && ReadNumber(f[3], c.missed) &&
                   ReadNumber(f[4], c.introduced);
            if (good) s.seedDays[day] = c;
        } else if (good && f[0] == "e" && n >= 6) {
            Event e;
            std::array<std::string_view, 7> ev;
            for (std::size_t k = 2; k < n; ++k) ev[k - 2] = f[k];
            good = ReadNumber(f[1], e.writer) && e.writer < s.writers.size() && parseEvent(ev, n - 2, e);
            if (good) s.events.push_back(e);
        } else if (good && f[0] == "end" && n == 2) {
            std::uint32_t check = 0;
            const std::string_view before = whole.substr(0, static_cast<std::size_t>(line.data() - whole.data()));
            ended = ReadNumber(f[1], check, 16) && check == checkOf(std::string_view(before.data(), before.size() + 4));
            good = ended;
        } else {
            good = false;
        }
        s.damaged += !good;
    }
    s.damaged += !ended;
    return s;
}

bool SnapshotCache::Held::holds(std::uint64_t seq) const {
    return seq <= upTo && !std::binary_search(gaps.begin(), gaps.end(), seq);
}

std::uint64_t SeedsDigest(const std::map<Key, Seed>& seeds, const std::map<Day, DayCounts>& days) {
    std::string text;
    putSeeds(text, seeds, days);
    return Hash64(text);
}

// "h upTo writer", "g writer gap", "o time writer seq", "x seeds"; then the
// states: "p key stability difficulty due last missed" ("q" for a due day a
// seed set; the numbers of stability and difficulty are their bits, so they
// come back exactly) and "t day reviewed missed introduced came recalled".
void AddCache(std::string& text, const SnapshotCache& c) {
    const std::size_t begin = text.size();
    for (const SnapshotCache::Held& h : c.held) {
        text += "h ";
        PutNumber(text, h.upTo);
        text += h.writer + "\n";
    }
    for (std::uint32_t w = 0; w < c.held.size(); ++w) {
        for (const std::uint64_t gap : c.held[w].gaps) {
            text += "g ";
            PutNumber(text, w);
            PutNumber(text, gap, 10, '\n');
        }
    }
    text += "o ";
    PutNumber(text, c.lastTime);
    PutNumber(text, c.lastWriter);
    PutNumber(text, c.lastSeq, 10, '\n');
    text += "x ";
    PutNumber(text, c.seeds, 16, '\n');
    const std::size_t states = text.size();
    // By key: in the table's own order a reader's smaller table would fill
    // in long runs.
    std::vector<std::pair<Key, const PageState*>> pages;
    pages.reserve(c.pages.size());
    c.pages.forEach([&](Key key, const PageState& p) { pages.emplace_back(key, &p); });
    std::sort(pages.begin(), pages.end());
    for (const auto& [key, state] : pages) {
        const PageState& p = *state;
        text += c.seeded.contains(key) ? "q " : "p ";
        PutNumber(text, key, 16);
        PutNumber(text, std::bit_cast<std::uint32_t>(p.stability), 16);
        PutNumber(text, std::bit_cast<std::uint32_t>(p.difficulty), 16);
        PutNumber(text, p.due);
        PutNumber(text, p.last);
        PutNumber(text, p.missed, 10, '\n');
    }
    for (const auto& [day, n] : c.days) {
        text += "t ";
        PutNumber(text, day);
        for (const int figure : {n.reviewed, n.missed, n.introduced, n.came}) PutNumber(text, figure);
        PutNumber(text, n.recalled, 10, '\n');
    }
    const std::string_view all = text;
    const std::uint32_t checks[] = {checkOf(all.substr(begin, states - begin)), checkOf(all.substr(states))};
    text += "cache ";
    PutNumber(text, begin);
    PutNumber(text, states);
    PutNumber(text, checks[0], 16);
    PutNumber(text, checks[1], 16, '\n');
}

std::optional<CacheAt> FindCache(std::string_view tail, std::uint64_t size) {
    if (tail.size() < 2 || tail.back() != '\n' || tail.size() > size) return std::nullopt;
    const auto start = tail.rfind('\n', tail.size() - 2);
    if (start == std::string_view::npos) return std::nullopt;
    const std::string_view line = tail.substr(start + 1, tail.size() - start - 2);
    std::array<std::string_view, 5> f;
    CacheAt at;
    at.end = size - line.size() - 1;
    if (SplitFields(line, f) != f.size() || f[0] != "cache" || !ReadNumber(f[1], at.begin) ||
        !ReadNumber(f[2], at.states) || !ReadNumber(f[3], at.headCheck, 16) || !ReadNumber(f[4], at.statesCheck, 16) ||
        at.begin > at.states || at.states > at.end)
        return std::nullopt;
    return at;
}

bool ReadCacheHead(std::string_view text, const CacheAt& at, SnapshotCache& c) {
    if (text.size() != at.states - at.begin || checkOf(text) != at.headCheck) return false;
    std::string_view line;
    std::array<std::string_view, 4> f;
    bool last = false, seeds = false;
    while (NextLine(text, line)) {
        const std::size_t n = SplitFields(line, f);
        std::uint32_t w = 0;
        std::uint64_t gap = 0;
        bool good = n >= 2 && n <= f.size();
        if (good && f[0] == "h" && n == 3) {
            c.held.push_back({.writer = std::string(f[2]), .upTo = 0, .gaps = {}});
            good = ReadNumber(f[1], c.held.back().upTo);
        } else if (good && f[0] == "g" && n == 3) {
            good = ReadNumber(f[1], w) && w < c.held.size() && ReadNumber(f[2], gap) && gap <= c.held[w].upTo &&
                   (c.held[w].gaps.empty() || gap > c.held[w].gaps.back());
            if (good) c.held[w].gaps.push_back(gap);
        } else if (good && f[0] == "o" && n == 4) {
            good = last = ReadNumber(f[1], c.lastTime) && ReadNumber(f[2], c.lastWriter) &&
                          c.lastWriter < c.held.size() && ReadNumber(f[3], c.lastSeq);
        } else if (good && f[0] == "x" && n == 2) {
            good = seeds = ReadNumber(f[1], c.seeds, 16);
        } else {
            good = false;
        }
        if (!good) return false;
    }
    return last && seeds;
}

bool ReadCacheStates(std::string_view text, const CacheAt& at, SnapshotCache& c) {
    if (text.size() != at.end - at.states || checkOf(text) != at.statesCheck) return false;
    c.pages.reserve(text.size() / 48);  // a page's line is longer
    std::string_view line;
    while (NextLine(text, line)) {
        if (line.size() < 2 || line[1] != ' ') return false;
        NumberFields f(line.substr(2));
        if (line[0] == 't') {
            Day day = 0;
            DayCounts d;
            if (!f.read(day) || !f.read(d.reviewed) || !f.read(d.missed) || !f.read(d.introduced) || !f.read(d.came) ||
                !f.read(d.recalled) || !f.done())
                return false;
            c.days[day] = d;
            continue;
        }
        Key key = 0;
        std::uint32_t stability = 0, difficulty = 0;
        PageState p;
        if ((line[0] != 'p' && line[0] != 'q') || !f.read(key, 16) || key == kBlankPage || !f.read(stability, 16) ||
            !f.read(difficulty, 16) || !f.read(p.due) || !f.read(p.last) || !f.read(p.missed) || !f.done())
            return false;
        p.stability = std::bit_cast<float>(stability);
        p.difficulty = std::bit_cast<float>(difficulty);
        c.pages[key] = p;
        if (line[0] == 'q') c.seeded.insert(key);
    }
    return true;
}

}  // namespace rvm::learn
