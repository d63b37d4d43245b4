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

}  // namespace rvm::cp932
