#include "LegacyHistory.h"

#include <filesystem>

#include "TextLines.h"
#include "files/FileIo.h"

namespace rvm::learn {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kHeader = "Ravolin Memorel learning history 1";
constexpr std::uint64_t kMaxBytes = std::uint64_t{64} << 20;

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
    if (!NextLine(text, line) || line != kHeader || !NextLine(text, line) || !line.starts_with("deck ") ||
        !NextLine(text, line) || SplitFields(line, pair) != pair.size() || pair[0] != "seq" || !ReadNumber(pair[1], folded))
        text = {}, folded = 0;
    std::array<std::string_view, 5> day;
    std::array<std::string_view, 6> page;
    while (NextLine(text, line)) {
        if (SplitFields(line, page) == page.size() && page[0] == "page") {
            Key key = 0;
            Seed p;
            int stage = 0;
            if (ReadNumber(page[1], key, 16) && key != kBlankPage && ReadNumber(page[2], stage) && stage >= 0 &&
                stage <= kTopStage && ReadNumber(page[3], p.due) && ReadNumber(page[4], p.last) && ReadNumber(page[5], p.missed)) {
                p.stage = static_cast<std::int8_t>(stage);
                deck.pages[key] = p;
            }
        } else if (SplitFields(line, day) == day.size() && day[0] == "day") {
            Day d = 0;
            DayCounts c;
            if (ReadNumber(day[1], d) && ReadNumber(day[2], c.reviewed) && ReadNumber(day[3], c.missed) &&
                ReadNumber(day[4], c.introduced))
                deck.days[d] = c;
        }
    }
    // The log's grades after the last fold, each checked as it was written.
    std::array<std::string_view, 5> f;
    while (NextLine(log, line)) {
        std::uint64_t seq = 0, check = 0;
        Day d = 0;
        Key key = 0;
        int g = 0;
        if (SplitFields(line, f) != f.size() || !ReadNumber(f[0], seq) || seq <= folded || !ReadNumber(f[1], d) || !ReadNumber(f[2], key, 16) ||
            key == kBlankPage || !ReadNumber(f[3], g) || g < 0 || g > 1 || !ReadNumber(f[4], check, 16) ||
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
