#include "Cp932.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <utility>

namespace rvm::cp932 {
namespace {

constexpr UINT kCp932 = 932;
// Whole runs go through the system in one call; only a run that holds a
// bad or foreign character is walked one character at a time.
constexpr std::size_t kRun = 1 << 15;

// Windows passes the byte 0x80, which code page 932 leaves unused, through
// as the control U+0080. It is no character of the code page, so both
// directions treat the C1 controls as foreign, as iconv does.
bool isC1(wchar_t c) { return c >= 0x80 && c <= 0x9F; }

const std::array<bool, 256>& leadBytes() {
    static const std::array<bool, 256> lead = [] {
        std::array<bool, 256> t{};
        for (int b = 0; b < 256; ++b) t[b] = IsDBCSLeadByteEx(kCp932, static_cast<BYTE>(b)) != 0;
        return t;
    }();
    return lead;
}

// Appends the UTF-16 form of bytes, or leaves out untouched and returns
// false when any of them is not a character of the code page.
bool toWide(const char* bytes, std::size_t n, std::wstring& out) {
    if (n == 0) return true;
    const std::size_t at = out.size();
    out.resize(at + n);
    int got = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(n),
                                  out.data() + at, static_cast<int>(n));
    bool ok = got > 0;
    for (int k = 0; ok && k < got; ++k) ok = !isC1(out[at + k]);
    out.resize(ok ? at + static_cast<std::size_t>(got) : at);
    return ok;
}

void appendUtf8(const std::wstring& w, std::string& out) {
    if (w.empty()) return;
    const std::size_t at = out.size();
    out.resize(at + w.size() * 3);
    int got = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()),
                                  out.data() + at, static_cast<int>(w.size() * 3), nullptr, nullptr);
    out.resize(at + static_cast<std::size_t>(got > 0 ? got : 0));
}

// Appends the code page form of w and returns true when every character
// has one that reads back as the same character: no default character and
// no best fit (U+301C must not quietly become 0x8160).
bool toCp932(const std::wstring& w, std::string& out) {
    if (w.empty()) return true;
    for (wchar_t c : w)
        if (isC1(c)) return false;
    const std::size_t at = out.size();
    out.resize(at + w.size() * 2);
    BOOL usedDefault = FALSE;
    int got = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                                  out.data() + at, static_cast<int>(w.size() * 2), "?", &usedDefault);
    std::wstring back;
    bool ok = got > 0 && !usedDefault && toWide(out.data() + at, static_cast<std::size_t>(got), back) &&
              back == w;
    out.resize(ok ? at + static_cast<std::size_t>(got) : at);
    return ok;
}

// The length of the well-formed UTF-8 character at s[i], with its UTF-16
// form appended to w; 0 (and w untouched) when it is not well-formed.
std::size_t nextChar(const std::string& s, std::size_t i, std::wstring& w) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const std::size_t len = Utf8Length(b(0));
    if (b(0) < 0x80) {
        w += static_cast<wchar_t>(b(0));
        return 1;
    }
    if (b(0) < 0xC2 || b(0) > 0xF4 || i + len > s.size()) return 0;
    char32_t cp = b(0) & (0x3F >> (len - 1));
    for (std::size_t k = 1; k < len; ++k) {
        if ((b(k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(k) & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    if (cp < 0x10000) {
        w += static_cast<wchar_t>(cp);
    } else {
        w += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
        w += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
    return len;
}

}  // namespace

Encoded encode(const std::string& utf8) {
    Encoded e;
    e.bytes.reserve(utf8.size());
    std::wstring run;
    // Where each character of the run starts, in the input and in run.
    std::vector<std::pair<std::size_t, std::size_t>> starts;
    std::size_t i = 0;
    while (i < utf8.size()) {
        run.clear();
        starts.clear();
        std::size_t len = 1;
        while (i < utf8.size() && run.size() < kRun) {
            starts.emplace_back(i, run.size());
            len = nextChar(utf8, i, run);
            if (len == 0) {
                starts.pop_back();
                break;
            }
            i += len;
        }
        if (!toCp932(run, e.bytes)) {
            starts.emplace_back(i, run.size());
            for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
                const std::size_t from = starts[k].second, to = starts[k + 1].second;
                if (!toCp932(run.substr(from, to - from), e.bytes)) {
                    e.unmappable.push_back(starts[k].first);
                    e.bytes += '?';
                }
            }
        }
        if (len == 0) {
            // Not UTF-8 at all: cannot be held either.
            e.unmappable.push_back(i);
            e.bytes += '?';
            i += std::min(Utf8Length(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        }
    }
    return e;
}

void decode(std::string_view bytes, std::string& out) {
    // The first 128 codes are the same in both: plain ASCII needs no converter.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) {
        out.assign(bytes);
        return;
    }
    const auto& lead = leadBytes();
    const std::size_t n = bytes.size();
    out.clear();
    out.reserve(n + n / 2);
    thread_local std::wstring wide;
    std::size_t p = 0;
    while (p < n) {
        // A run ends on a character boundary; a lead byte cut off at the very
        // end makes the run fail and is walked below.
        std::size_t end = p;
        while (end < n && end - p < kRun) end += lead[static_cast<unsigned char>(bytes[end])] ? 2 : 1;
        end = std::min(end, n);
        wide.clear();
        if (toWide(bytes.data() + p, end - p, wide)) {
            p = end;
        } else {
            // A bad byte becomes U+FFFD and the walk goes on from the next byte,
            // which may start a character that crosses the run's end.
            while (p < end) {
                std::size_t len = lead[static_cast<unsigned char>(bytes[p])] ? 2 : 1;
                if (p + len <= n && toWide(bytes.data() + p, len, wide)) {
                    p += len;
                } else {
                    wide += wchar_t{0xFFFD};
                    ++p;
                }
            }
        }
        appendUtf8(wide, out);
    }
}

std::string decode(const std::string& bytes) {
    std::string out;
    decode(std::string_view(bytes), out);
    return out;
}

}  // namespace rvm::cp932
