#include "DeckFile.h"

#include "deck/Module1.h"

namespace rvm {

bool SplitRecords(const std::string& text, std::vector<std::string>& records) {
    records.clear();
    std::size_t pos = 0;
    const std::size_t n = text.size();
    while (pos < n) {
        std::size_t end = text.find('\r', pos);
        if (end == std::string::npos) end = n;
        if (text[pos] == kRecordMark) {
            records.emplace_back(text, pos + 1, end - pos - 1);
        } else {
            if (records.empty()) return false;
            std::string& last = records.back();
            last += "\r\n";
            last.append(text, pos, end - pos);
        }
        pos = end;
        if (pos < n) {  // skip CR, or CR LF
            ++pos;
            if (pos < n && text[pos] == '\n') ++pos;
        }
    }
    return true;
}

bool BuildDeck(std::vector<std::string>& records, DeckLists& deck) {
    const std::size_t pages = records.size() / 3;
    if (pages == 0 || pages > static_cast<std::size_t>(kMaxPages)) return false;
    DeckLists d;
    d.upper.reserve(pages);
    d.lower.reserve(pages);
    d.order.reserve(pages);
    std::vector<char> seen(pages, 0);
    for (std::size_t k = 0; k < pages; ++k) {
        auto v = LeadingNumber(records[3 * k + 2]);
        if (!v || *v < 0 || *v >= static_cast<double>(pages)) return false;
        auto s = static_cast<std::size_t>(*v);
        if (static_cast<double>(s) != *v || seen[s]) return false;
        seen[s] = 1;
        d.order.push_back(static_cast<int>(s));
    }
    for (std::size_t k = 0; k < pages; ++k) {
        d.upper.push_back(std::move(records[3 * k]));
        d.lower.push_back(std::move(records[3 * k + 1]));
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

std::string DeckText(const std::vector<std::string>& upper, const std::vector<std::string>& lower,
                     const std::vector<int>& order, std::vector<std::size_t>* pageStarts,
                     std::vector<std::size_t>* marks) {
    std::size_t size = 0;
    for (std::size_t k = 0; k < upper.size(); ++k) size += upper[k].size() + lower[k].size() + 16;
    std::string out;
    out.reserve(size);
    if (pageStarts) pageStarts->clear();
    if (marks) marks->clear();
    for (std::size_t k = 0; k < upper.size(); ++k) {
        if (pageStarts) pageStarts->push_back(out.size());
        for (const std::string* t : {&upper[k], &lower[k]}) {
            out += kRecordMark;
            appendText(out, *t, marks);
            out += "\r\n";
        }
        out += kRecordMark;
        out += std::to_string(order[k]);
        out += "\r\n";
    }
    return out;
}

}  // namespace rvm
