#include "LegacyHistory.h"

#include <array>
#include <charconv>
#include <filesystem>

#include "files/FileIo.h"

namespace rvm::learn {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kHeader = "Ravolin Memorel learning history 1";
constexpr std::uint64_t kMaxBytes = std::uint64_t{64} << 20;

bool nextLine(std::string_view& text, std::string_view& line) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos) return false;
    line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return true;
}

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

}  // namespace

void ApplyLeitnerGrade(Seed& page, Grade g, Day day, DayCounts& counts) {
    if (page.due == kNever) ++counts.introduced;
    if (page.last != day) ++counts.reviewed;
    if (g == Grade::NotYet) {
        if (page.missed != day) ++counts.missed;
        page.stage = 0;
        page.due = page.missed = day;
    } else if (page.due <= day) {
        page.stage = static_cast<std::int8_t>(std::min(page.stage + 1, kTopStage));
        page.due = day + (1 << (page.stage - 1));
    }
    page.last = day;
}

void AddLegacyHistory(std::string_view text, std::string_view log, LegacyHistory& into) {
    LegacyHistory deck;
    std::uint64_t folded = 0;
    std::string_view line;
    std::array<std::string_view, 2> pair;
    if (!nextLine(text, line) || line != kHeader || !nextLine(text, line) || !line.starts_with("deck ") ||
        !nextLine(text, line) || !split(line, pair) || pair[0] != "seq" || !number(pair[1], folded))
        text = {}, folded = 0;
    std::array<std::string_view, 5> day;
    std::array<std::string_view, 6> page;
    while (nextLine(text, line)) {
        if (split(line, page) && page[0] == "page") {
            Key key = 0;
            Seed p;
            int stage = 0;
            if (number(page[1], key, 16) && key != kBlankPage && number(page[2], stage) && stage >= 0 &&
                stage <= kTopStage && number(page[3], p.due) && number(page[4], p.last) && number(page[5], p.missed)) {
                p.stage = static_cast<std::int8_t>(stage);
                deck.pages[key] = p;
            }
        } else if (split(line, day) && day[0] == "day") {
            Day d = 0;
            DayCounts c;
            if (number(day[1], d) && number(day[2], c.reviewed) && number(day[3], c.missed) &&
                number(day[4], c.introduced))
                deck.days[d] = c;
        }
    }
    // The log's grades after the last fold, each checked as it was written.
    std::array<std::string_view, 5> f;
    while (nextLine(log, line)) {
        std::uint64_t seq = 0, check = 0;
        Day d = 0;
        Key key = 0;
        int g = 0;
        if (!split(line, f) || !number(f[0], seq) || seq <= folded || !number(f[1], d) || !number(f[2], key, 16) ||
            key == kBlankPage || !number(f[3], g) || g < 0 || g > 1 || !number(f[4], check, 16) ||
            check != (Hash64(line.substr(0, line.size() - f[4].size())) & 0xFFFFFFFFu))
            continue;
        ApplyLeitnerGrade(deck.pages[key], static_cast<Grade>(g), d, deck.days[d]);
    }
    for (const auto& [key, p] : deck.pages) {
        auto [it, fresh] = into.pages.try_emplace(key, p);
        if (!fresh && p.last > it->second.last) it->second = p;
    }
    for (const auto& [d, c] : deck.days) {
        DayCounts& sum = into.days[d];
        sum.reviewed += c.reviewed;
        sum.missed += c.missed;
        sum.introduced += c.introduced;
    }
}

LegacyHistory ReadLegacyHistories(const std::string& folder) {
    LegacyHistory all;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(std::u8string(folder.begin(), folder.end())), ec)) {
        if (entry.path().extension() != ".rvmlearn" || !entry.is_regular_file(ec)) continue;
        const std::u8string p = entry.path().u8string();
        const std::string path(p.begin(), p.end());
        std::string history, log, error;
        if (ReadOwnFile(path, history, error, kMaxBytes) != ReadStatus::Ok) continue;
        if (ReadOwnFile(path + ".log", log, error, kMaxBytes) != ReadStatus::Ok) log.clear();
        AddLegacyHistory(history, log, all);
    }
    return all;
}

}  // namespace rvm::learn
