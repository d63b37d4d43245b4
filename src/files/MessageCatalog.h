// Texts looked up in a compiled message catalogue (a gettext .mo file), such
// as the system's own Japanese descriptions of its errors.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rvm {

class MessageCatalog {
public:
    // The bytes of a .mo file. A damaged one, or one not in UTF-8, is empty.
    explicit MessageCatalog(std::string bytes);
    // The translation of text, or nothing.
    std::optional<std::string> find(std::string_view text) const;

private:
    std::uint32_t word(std::size_t at) const;
    std::optional<std::string_view> entry(std::uint32_t table, std::uint32_t index) const;

    std::string bytes_;
    bool swapped_ = false;
    std::uint32_t count_ = 0, originals_ = 0, translations_ = 0;
};

}  // namespace rvm
