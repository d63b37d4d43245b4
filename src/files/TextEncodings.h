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

// ASCII letters in lower case, for names and keywords typed in any case.
std::string AsciiLower(std::string_view s);

// "utf8", "utf8-bom", "cp932" or "utf16", in any case.
std::optional<TextEncoding> EncodingNamed(std::string_view word);

// Offset of the first byte that is not well-formed UTF-8, or npos.
std::size_t FirstBadUtf8(std::string_view s);
// The character at s[at] and its length in bytes; U+FFFD and 1 where the
// bytes there are not well-formed UTF-8.
char32_t CodePointAt(std::string_view s, std::size_t at, std::size_t& length);
// The UTF-8 form of the code point c, appended to out.
void AppendUtf8(std::string& out, char32_t c);
// The refusal of a file with the byte b where UTF-8 cannot have it.
std::string BadUtf8Message(char b);

// The text of a table file's bytes as they come, piece by piece. UTF-8 is
// not checked here: the conversion to the deck's code page finds a bad byte
// on its way, and names its line, at no cost to the files that have none.
class TableDecoder {
public:
    explicit TableDecoder(TextEncoding encoding) : encoding_(encoding) {}
    // Decodes bytes onto text up to their last line feed, which no character
    // of these encodings holds in its bytes, or all of them atEnd, and drops
    // what it decoded from bytes. The first bytes may be a byte order mark.
    void take(std::string& bytes, bool atEnd, std::string& text);

    // Taken for UTF-8 with no mark and no encoding asked for: at the first
    // byte UTF-8 cannot have, the caller reads the bytes as code page 932.
    bool guessed = false;
    bool notCp932 = false;  // read as code page 932, with bytes that are none (now U+FFFD)
    // Read as UTF-16 that is not well formed (a lone surrogate, an odd last
    // byte): its refusal, as BadUtf8Message says it for UTF-8. Nothing after
    // it is decoded.
    std::string badUtf16;

private:
    TextEncoding encoding_;
    bool started_ = false, bigEndian_ = false;
};

// A table's UTF-8 text in the encoding asked for; UTF-16 is little-endian
// with a byte order mark, as Windows programs expect it.
std::string EncodeTable(std::string utf8, TextEncoding encoding);

}  // namespace rvm
