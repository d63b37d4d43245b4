#include "Cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace rvm::cp932 {
namespace {

class Converter {
    static constexpr std::size_t kWindowMin = 16, kWindowMax = std::size_t{1} << 16;

public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in straight into out from out[used] on and returns the new
    // length of the result; out only grows, so a buffer used again is not
    // filled again. Input the converter refuses at offset `at` is written as
    // `bad`, and badLength(at) input bytes are skipped.
    template <class BadLength>
    std::size_t run(std::string_view in, std::string& out, std::size_t used, std::string_view bad,
                    BadLength badLength) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        const std::size_t need = used + in.size() + in.size() / 2 + 16;
        if (out.size() < need) out.resize(need);
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        // A refusal costs glibc time in proportion to the input the call was
        // given (it converts ahead, then works out where it stopped), so after
        // one the converter gets a short piece, doubled while all goes well.
        std::size_t window = kWindowMax;
        while (left > 0) {
            std::size_t take = std::min(left, window);
            const std::size_t rest = left - take;
            char* dst = out.data() + used;
            std::size_t room = out.size() - used;
            std::size_t r = iconv(cd_, &src, &take, &dst, &room);
            used = out.size() - room;
            left = take + rest;
            if (r != static_cast<std::size_t>(-1)) {
                window = std::min(window * 2, kWindowMax);
                continue;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            if (errno == EINVAL && rest > 0) {  // a character cut by the window, not by the input
                window *= 2;
                continue;
            }
            // EILSEQ or EINVAL (truncated at the end): replace and go on.
            if (out.size() - used < bad.size()) out.resize(out.size() * 2);
            std::memcpy(out.data() + used, bad.data(), bad.size());
            used += bad.size();
            std::size_t skip = std::min(badLength(static_cast<std::size_t>(src - in.data())), left);
            src += skip;
            left -= skip;
            window = kWindowMin;
        }
        return used;
    }

private:
    iconv_t cd_;
};

}  // namespace

Encoded encode(const std::string& utf8) {
    thread_local Converter conv("CP932", "UTF-8");
    Encoded e;
    const std::size_t n = utf8.size();
    std::size_t used = 0;
    // Where the character refused last ends; one cut off by the end of a
    // piece below may reach past it.
    std::size_t resume = 0;
    auto refuse = [&](std::size_t at) {
        e.unmappable.push_back(at);
        const std::size_t len = Utf8Length(static_cast<unsigned char>(utf8[at]));
        resume = std::min(at + len, n);
        return len;
    };
    // No character beyond the first plane is in code page 932, and iconv
    // drops its tag characters (U+E0000-U+E007F) without a word: every
    // four-byte character is refused here, iconv gets the pieces between.
    for (std::size_t i = 0; i < n;) {
        const auto four = std::find_if(utf8.begin() + static_cast<std::ptrdiff_t>(i), utf8.end(),
                                       [](char c) { return static_cast<unsigned char>(c) >= 0xF0; });
        const auto end = static_cast<std::size_t>(four - utf8.begin());
        if (end > i)
            used = conv.run(std::string_view(utf8).substr(i, end - i), e.bytes, used, "?",
                            [&](std::size_t at) { return refuse(i + at); });
        if (resume > end) {
            i = resume;
            continue;
        }
        if (end == n) break;
        if (e.bytes.size() == used) e.bytes.resize(used * 2 + 16);
        e.bytes[used++] = '?';
        refuse(end);
        i = resume;
    }
    e.bytes.resize(used);
    return e;
}

void decode(std::string_view bytes, std::string& out) {
    // The first 128 codes are the same in both: plain ASCII needs no converter.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) {
        out.assign(bytes);
        return;
    }
    thread_local Converter conv("UTF-8", "CP932");
    auto bad = [](std::size_t) { return std::size_t{1}; };
    // Short texts (a deck's records) go through one reused buffer and are
    // copied out at their exact length; a long one is converted in place.
    thread_local std::string scratch;
    if (bytes.size() > (1u << 16)) {
        out.resize(conv.run(bytes, out, 0, "\xEF\xBF\xBD", bad));
        return;
    }
    const std::size_t n = conv.run(bytes, scratch, 0, "\xEF\xBF\xBD", bad);
    out.assign(scratch.data(), n);
}

std::string decode(const std::string& bytes) {
    std::string out;
    decode(std::string_view(bytes), out);
    return out;
}

}  // namespace rvm::cp932
