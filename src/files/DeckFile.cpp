#include "DeckFile.h"

#include <algorithm>

#include "Cp932.h"
#include "deck/Deck.h"
#include "deck/Text.h"

namespace rvm {

namespace {

// A deck holds at most this many records, two stray ones included; one more
// is enough to refuse the file.
constexpr std::size_t kMaxRecords = 3 * static_cast<std::size_t>(kMaxPages) + 2;

// A lone CR inside a text ended a line like CR LF does, and reads back as CR LF.
void decodeRecord(std::string_view raw, bool loneCr, std::string& out) {
    cp932::decode(raw, out);
    if (!loneCr) return;
    std::string text;
    text.reserve(out.size() + 16);
    for (std::size_t i = 0; i < out.size(); ++i) {
        text += out[i];
        if (out[i] == '\r' && (i + 1 == out.size() || out[i + 1] != '\n')) text += '\n';
    }
    out.swap(text);
}

}  // namespace

RecordSplitter::RecordSplitter(std::vector<std::string>& records, std::uint64_t fileSize)
    : records_(records) {
    records_.clear();
    // A record written by the program takes at least 3 bytes; reserving once
    // spares the copies (and fresh memory) of a list that grows.
    records_.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize / 3, kMaxRecords) + 1));
}

bool RecordSplitter::wantsMore() const { return ok_ && records_.size() <= kMaxRecords; }

std::size_t RecordSplitter::take(std::string_view b, bool atEnd) {
    const std::size_t n = b.size();
    // Every piece after the first starts at a record mark.
    if (n > 0 && b[0] != kRecordMark) ok_ = false;
    std::size_t pos = 0;
    while (pos < n && wantsMore()) {
        const std::size_t start = pos + 1;
        std::size_t end = std::string_view::npos, next = n, p = start;
        bool loneCr = false;
        // The record ends at the line end before the next line that starts
        // with a mark, or at the end of the file.
        while (end == std::string_view::npos) {
            const std::size_t cr = b.find('\r', p);
            if (cr == std::string_view::npos) {
                if (atEnd) end = n;
                break;
            }
            if (cr + 1 == n && !atEnd) break;  // an LF may follow
            const std::size_t line = cr + 1 < n && b[cr + 1] == '\n' ? cr + 2 : cr + 1;
            if (line == n) {
                if (atEnd) end = cr;
                break;
            }
            if (b[line] == kRecordMark) {
                end = cr;
                next = line;
            } else {
                loneCr = loneCr || line == cr + 1;
                p = line;
            }
        }
        if (end == std::string_view::npos) return pos;  // it goes on in the next piece
        records_.emplace_back();
        decodeRecord(b.substr(start, end - start), loneCr, records_.back());
        pos = next;
    }
    return n;
}

bool SplitRecords(std::string_view bytes, std::vector<std::string>& records) {
    RecordSplitter split(records, bytes.size());
    split.take(bytes, true);
    return split.ok();
}

bool BuildDeck(std::vector<std::string>& records, Deck& deck) {
    const std::size_t pages = records.size() / 3;
    if (pages == 0 || pages > static_cast<std::size_t>(kMaxPages)) return false;
    Deck d;
    d.pages.reserve(pages);
    d.displayOrder.reserve(pages);
    std::vector<char> seen(pages, 0);
    for (std::size_t k = 0; k < pages; ++k) {
        auto v = LeadingNumber(records[3 * k + 2]);
        if (!v || *v < 0 || *v >= static_cast<double>(pages)) return false;
        auto s = static_cast<std::size_t>(*v);
        if (static_cast<double>(s) != *v || seen[s]) return false;
        seen[s] = 1;
        d.displayOrder.push_back(static_cast<int>(s));
    }
    for (std::size_t k = 0; k < pages; ++k) {
        d.pages.push_back({std::move(records[3 * k]), std::move(records[3 * k + 1])});
    }
    deck = std::move(d);
    return true;
}

namespace {
// Appends a text, turning record marks at the start of an inner line into '?'.
void appendText(std::string& out, const std::string& t, std::vector<std::size_t>* marks) {
    const std::size_t base = out.size();
    out += t;
    for (std::size_t i = t.find(kRecordMark); i != std::string::npos;
         i = t.find(kRecordMark, i + 1)) {
        const bool lineStart =
            i > 0 && (t[i - 1] == '\r' || (t[i - 1] == '\n' && i > 1 && t[i - 2] == '\r'));
        if (!lineStart) continue;
        out[base + i] = '?';
        if (marks) marks->push_back(base + i);
    }
}
}  // namespace

void AppendPageRecords(std::string& out, const Page& page, int order, std::vector<std::size_t>* marks) {
    for (const std::string* t : {&page.question, &page.answer}) {
        out += kRecordMark;
        appendText(out, *t, marks);
        out += "\r\n";
    }
    out += kRecordMark;
    out += std::to_string(order);
    out += "\r\n";
}

std::string DeckText(const Deck& deck, std::vector<std::size_t>* pageStarts,
                     std::vector<std::size_t>* marks) {
    std::size_t size = 0;
    for (const Page& p : deck.pages) size += p.question.size() + p.answer.size() + 16;
    std::string out;
    out.reserve(size);
    if (pageStarts) pageStarts->clear();
    if (marks) marks->clear();
    for (std::size_t k = 0; k < deck.pages.size(); ++k) {
        if (pageStarts) pageStarts->push_back(out.size());
        AppendPageRecords(out, deck.pages[k], deck.displayOrder[k], marks);
    }
    return out;
}

}  // namespace rvm
