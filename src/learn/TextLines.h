// Reading and writing the lines of the memory's text files: fields separated
// by blanks, numbers in decimal or hexadecimal, each line ended by LF.
#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <string_view>

namespace rvm::learn {

template <class T>
void PutNumber(std::string& out, T value, int base = 10, char after = ' ') {
    char buf[24];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, value, base).ptr);
    out += after;
}

template <class T>
bool ReadNumber(std::string_view s, T& value, int base = 10) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    return !s.empty() && ec == std::errc() && end == s.data() + s.size();
}

// The next line without its LF; false at the end or at a last line without
// one, which a crash or a sync in progress cut short.
inline bool NextLine(std::string_view& text, std::string_view& line) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos) return false;
    line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return true;
}

// The blank-separated fields of a line, up to fields.size(); their number,
// or fields.size() + 1 when there are more.
template <std::size_t N>
std::size_t SplitFields(std::string_view line, std::array<std::string_view, N>& fields) {
    std::size_t n = 0;
    while (!line.empty() && n < N) {
        const auto end = std::min(line.find(' '), line.size());
        fields[n++] = line.substr(0, end);
        line.remove_prefix(std::min(end + 1, line.size()));
    }
    return line.empty() ? n : N + 1;
}

// The blank-separated numbers of a line read one after another, for lines
// by the thousand.
class NumberFields {
public:
    explicit NumberFields(std::string_view line) : at_(line.data()), end_(line.data() + line.size()) {}
    template <class T>
    bool read(T& value, int base = 10) {
        const auto [next, ec] = std::from_chars(at_, end_, value, base);
        if (ec != std::errc() || (next != end_ && *next != ' ')) return false;
        at_ = next == end_ ? end_ : next + 1;
        return true;
    }
    bool done() const { return at_ == end_; }

private:
    const char* at_;
    const char* end_;
};

}  // namespace rvm::learn
