#include "Cp932.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <string_view>

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

// Appends the code page form of the first-plane characters w, the k-th
// taken from utf8 at from[k], with '?' (its offset in unmappable) for each
// one that has none that reads back as the same character: no default
// character and no best fit (U+301C must not quietly become 0x8160).
void encodeRun(std::wstring_view w, const std::size_t* from, Encoded& e) {
    if (w.empty()) return;
    thread_local std::string bytes;
    thread_local std::wstring back;
    bytes.resize(w.size() * 2);
    int got = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                                  bytes.data(), static_cast<int>(bytes.size()), "?", nullptr);
    bytes.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    back.clear();
    const bool read = toWide(bytes.data(), bytes.size(), back);
    if (read && back == w) {  // the usual case: all of them held
        e.bytes += bytes;
        return;
    }
    // Each character comes out as one character of the code page, one or
    // two bytes, so the k-th read back is the k-th written; should that
    // ever not hold, the characters are taken one at a time.
    const auto& lead = leadBytes();
    std::size_t chars = 0;
    for (std::size_t p = 0; p < bytes.size(); ++chars) p += lead[static_cast<unsigned char>(bytes[p])] ? 2 : 1;
    if (!read || back.size() != w.size() || chars != w.size()) {
        if (w.size() > 1) {
            for (std::size_t k = 0; k < w.size(); ++k) encodeRun(w.substr(k, 1), from + k, e);
        } else {
            e.bytes += '?';
            e.unmappable.push_back(from[0]);
        }
        return;
    }
    for (std::size_t k = 0, p = 0; k < w.size(); ++k) {
        const std::size_t len = lead[static_cast<unsigned char>(bytes[p])] ? 2 : 1;
        if (back[k] == w[k]) {
            e.bytes.append(bytes, p, len);
        } else {
            e.bytes += '?';
            e.unmappable.push_back(from[k]);
        }
        p += len;
    }
}

// The length of the well-formed UTF-8 character at s[i], its code point in
// cp; 0 when it is not well-formed.
std::size_t nextChar(const std::string& s, std::size_t i, char32_t& cp) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const std::size_t len = Utf8Length(b(0));
    if (b(0) < 0x80) {
        cp = b(0);
        return 1;
    }
    if (b(0) < 0xC2 || b(0) > 0xF4 || i + len > s.size()) return 0;
    cp = b(0) & (0x3F >> (len - 1));
    for (std::size_t k = 1; k < len; ++k) {
        if ((b(k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(k) & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

Encoded encode(const std::string& utf8) {
    Encoded e;
    e.bytes.reserve(utf8.size());
    std::wstring run;
    std::vector<std::size_t> from;  // where each character of run starts in utf8
    const auto flush = [&] {
        encodeRun(run, from.data(), e);
        run.clear();
        from.clear();
    };
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        std::size_t len = nextChar(utf8, i, c);
        // Code page 932 holds nothing beyond the first plane and no C1
        // control, and what is not UTF-8 cannot be held either: these are
        // refused without asking the system.
        if (len != 0 && c < 0x10000 && !isC1(static_cast<wchar_t>(c))) {
            run += static_cast<wchar_t>(c);
            from.push_back(i);
            if (run.size() == kRun) flush();
        } else {
            flush();
            e.unmappable.push_back(i);
            e.bytes += '?';
            if (len == 0) len = std::min(Utf8Length(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        }
        i += len;
    }
    flush();
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
