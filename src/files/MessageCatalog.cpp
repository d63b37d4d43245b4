#include "MessageCatalog.h"

#include <algorithm>
#include <cctype>

namespace rvm {

namespace {
constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::size_t kHeaderBytes = 20;  // magic, revision, count, two table offsets
}  // namespace

MessageCatalog::MessageCatalog(std::string bytes) : bytes_(std::move(bytes)) {
    if (bytes_.size() < kHeaderBytes) return;
    swapped_ = word(0) != kMagic;
    if (word(0) != kMagic || word(4) >> 16 > 1) return;  // other major revisions may differ
    const std::uint64_t count = word(8), room = bytes_.size();
    if (word(12) + count * 8 > room || word(16) + count * 8 > room) return;
    count_ = static_cast<std::uint32_t>(count);
    originals_ = word(12);
    translations_ = word(16);
    // Texts are handed on as they stand, so only a UTF-8 catalogue will do.
    std::string header(find("").value_or(""));
    std::ranges::transform(header, header.begin(), [](unsigned char c) { return std::tolower(c); });
    if (header.find("charset=utf-8") == std::string::npos) count_ = 0;
}

std::uint32_t MessageCatalog::word(std::size_t at) const {
    std::uint32_t w = 0;
    for (int k = 0; k < 4; ++k) {
        const auto b = static_cast<unsigned char>(bytes_[at + static_cast<std::size_t>(k)]);
        w |= std::uint32_t{b} << (swapped_ ? 8 * (3 - k) : 8 * k);
    }
    return w;
}

std::optional<std::string_view> MessageCatalog::entry(std::uint32_t table, std::uint32_t index) const {
    const std::size_t at = table + std::size_t{index} * 8;
    const std::uint64_t length = word(at), offset = word(at + 4);
    if (offset + length > bytes_.size()) return std::nullopt;
    return std::string_view(bytes_).substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
}

std::optional<std::string> MessageCatalog::find(std::string_view text) const {
    // Called for errors only, so a plain scan will do, and it needs the
    // originals in no particular order.
    for (std::uint32_t i = 0; i < count_; ++i) {
        if (entry(originals_, i) != text) continue;
        const std::optional<std::string_view> t = entry(translations_, i);
        if (!t || t->empty()) return std::nullopt;
        return std::string(t->substr(0, t->find('\0')));  // the singular of a plural
    }
    return std::nullopt;
}

}  // namespace rvm
