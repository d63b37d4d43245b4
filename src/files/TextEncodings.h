// The encodings tables come in: UTF-8 with or without a byte order mark,
// UTF-16 as Windows writes it, and code page 932, which spreadsheets on a
// Japanese Windows read and write by default.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rvm {

// Detect: on reading, a byte order mark decides, else well-formed UTF-8 is
// UTF-8 and anything else code page 932; on writing, UTF-8 without a mark.
enum class TextEncoding { Detect, Utf8, Utf8Bom, Cp932, Utf16 };

// "utf8", "utf8-bom", "cp932" or "utf16", in any case.
std::optional<TextEncoding> EncodingNamed(std::string_view word);

// Offset of the first byte that is not well-formed UTF-8, or npos.
std::size_t FirstBadUtf8(std::string_view s);
void AppendUtf8(std::string& out, char32_t c);
// The refusal of a file with the byte b where UTF-8 cannot have it.
std::string BadUtf8Message(char b);

struct DecodedTable {
    std::string_view text;      // UTF-8 without a byte order mark: into the bytes or into storage
    TextEncoding encoding;      // what was read: Utf8 (with or without a mark), Cp932 or Utf16
    bool notCp932 = false;      // detected, and neither UTF-8 nor code page 932
};

// The text of a table file's bytes. Whatever needs converting goes into
// storage, which must outlive the result. Forced UTF-8 is not checked here:
// the conversion to the deck's code page names the line of a bad byte.
DecodedTable DecodeTable(std::string_view bytes, TextEncoding encoding, std::string& storage);

// A table's UTF-8 text in the encoding asked for; UTF-16 is little-endian
// with a byte order mark, as Windows programs expect it.
std::string EncodeTable(std::string utf8, TextEncoding encoding);

}  // namespace rvm
