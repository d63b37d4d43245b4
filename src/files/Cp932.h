// Code page 932 <-> UTF-8. A thin layer over the platform's converter
// (iconv on Linux, the Win32 API on Windows), one backend file each.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rvm::cp932 {

struct Encoded {
    std::string bytes;
    // Byte offsets in the UTF-8 input of characters code page 932 cannot
    // hold; each was written as '?'.
    std::vector<std::size_t> unmappable;
};

Encoded encode(const std::string& utf8);
// Bytes that are not code page 932 become U+FFFD; the rest is kept.
std::string decode(const std::string& bytes);
// The same, straight into out (its old content replaced).
void decode(std::string_view bytes, std::string& out);

// The length of the UTF-8 character whose first byte is lead (1 for a stray
// continuation byte), to step over a character the converter refused.
constexpr std::size_t Utf8Length(unsigned char lead) {
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

}  // namespace rvm::cp932
