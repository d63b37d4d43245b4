#include "Cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace rvm::cp932 {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in straight into out and returns the length of the result;
    // out only grows, so a buffer used again is not filled again. Input the
    // converter refuses at offset `at` is written as `bad`, and badLength(at)
    // input bytes are skipped.
    template <class BadLength>
    std::size_t run(std::string_view in, std::string& out, std::string_view bad, BadLength badLength) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (out.size() < in.size() + in.size() / 2 + 16) out.resize(in.size() + in.size() / 2 + 16);
        std::size_t used = 0;
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        while (left > 0) {
            char* dst = out.data() + used;
            std::size_t room = out.size() - used;
            std::size_t r = iconv(cd_, &src, &left, &dst, &room);
            used = out.size() - room;
            if (r != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (truncated at the end): replace and go on.
            if (out.size() - used < bad.size()) out.resize(out.size() * 2);
            std::memcpy(out.data() + used, bad.data(), bad.size());
            used += bad.size();
            std::size_t skip = std::min(badLength(static_cast<std::size_t>(src - in.data())), left);
            src += skip;
            left -= skip;
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
    e.bytes.resize(conv.run(utf8, e.bytes, "?", [&](std::size_t at) {
        e.unmappable.push_back(at);
        return Utf8Length(static_cast<unsigned char>(utf8[at]));
    }));
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
        out.resize(conv.run(bytes, out, "\xEF\xBF\xBD", bad));
        return;
    }
    const std::size_t n = conv.run(bytes, scratch, "\xEF\xBF\xBD", bad);
    out.assign(scratch.data(), n);
}

std::string decode(const std::string& bytes) {
    std::string out;
    decode(std::string_view(bytes), out);
    return out;
}

}  // namespace rvm::cp932
