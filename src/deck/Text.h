// Small text helpers: number padding, blank removal, numeric reading of
// texts, line-break conversion and counting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rvm {

// Decimal text of n right-aligned to three characters with blanks.
std::string PaddedNumber(std::int32_t n);

// s without half-width (U+0020) and full-width (U+3000) blanks.
std::string WithoutBlanks(const std::string& s);

// The leading decimal number of a text: blanks skipped, optional sign,
// digits, point and exponent; no number gives 0. std::nullopt when the
// number is too large to be held.
std::optional<double> LeadingNumber(const std::string& s);

// Value of the leading digits after leading blanks (row numbers, "  5:x").
int LeadingDigits(const std::string& s);

// Line breaks: widgets and other programs use LF, the deck keeps CR LF.
std::string ToCrLf(const std::string& s);
std::string ToLf(const std::string& s);

// Number of characters of text equal to the first character of ch (UTF-8).
std::int32_t CountChar(const std::string& text, const std::string& ch);

}  // namespace rvm
