#include "Cp932.h"

#include <iconv.h>

#include <cerrno>
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

    // Converts in; bad input is handed to onBad(offset), which returns the
    // number of input bytes to skip and appends its replacement to out.
    template <class OnBad>
    void run(const std::string& in, std::string& out, OnBad onBad) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        // Converts straight into out, growing it when the converter runs out of room.
        out.assign(in.size() + in.size() / 2 + 16, '\0');
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
            out.resize(used);
            std::size_t skip = onBad(static_cast<std::size_t>(src - in.data()), out);
            used = out.size();
            out.resize(used + left + left / 2 + 16);
            if (skip > left) skip = left;
            src += skip;
            left -= skip;
        }
        out.resize(used);
    }

private:
    iconv_t cd_;
};

std::size_t utf8Length(unsigned char c) {
    if (c < 0xC0) return 1;
    if (c < 0xE0) return 2;
    if (c < 0xF0) return 3;
    return 4;
}

}  // namespace

Encoded encode(const std::string& utf8) {
    thread_local Converter conv("CP932", "UTF-8");
    Encoded e;
    conv.run(utf8, e.bytes, [&](std::size_t at, std::string& out) {
        e.unmappable.push_back(at);
        out += '?';
        return utf8Length(static_cast<unsigned char>(utf8[at]));
    });
    return e;
}

std::string decode(const std::string& bytes) {
    thread_local Converter conv("UTF-8", "CP932");
    std::string out;
    conv.run(bytes, out, [](std::size_t, std::string& o) {
        o += "\xEF\xBF\xBD";
        return std::size_t{1};
    });
    return out;
}

}  // namespace rvm::cp932
