#include "PageKey.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <utility>

namespace rvm::learn {
namespace {

constexpr std::uint64_t kP1 = 0x9E3779B185EBCA87u, kP2 = 0xC2B2AE3D27D4EB4Fu, kP3 = 0x165667B19E3779F9u;

// Little-endian on every machine, so keys written on one are found on another.
std::uint64_t load(const unsigned char* p, std::size_t n) {
    std::uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, p, n);
    } else {
        for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t{p[i]} << (8 * i);
    }
    return v;
}

std::uint64_t round(std::uint64_t acc, std::uint64_t word) { return std::rotl(acc + word * kP2, 31) * kP1; }

}  // namespace

std::uint64_t Hash64(std::string_view bytes, std::uint64_t seed) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    // The length goes in first: texts that differ only in trailing zero bytes differ.
    std::uint64_t h = seed + kP3 + n * kP1;
    for (; n >= 8; p += 8, n -= 8) h = round(h, load(p, 8));
    if (n > 0) h = round(h, load(p, n));
    h = (h ^ (h >> 33)) * kP2;
    h = (h ^ (h >> 29)) * kP3;
    return h ^ (h >> 32);
}

Key PageKey(std::string_view question, std::string_view answer) {
    if (question.empty() && answer.empty()) return kBlankPage;
    // The question's hash (its length included) seeds the answer's, so the
    // boundary between the two halves counts.
    const Key key = Hash64(answer, Hash64(question));
    return key == kBlankPage ? 1 : key;
}

void SeparateCopies(std::vector<Key>& keys) {
    std::vector<std::pair<Key, std::size_t>> sorted;
    sorted.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i] != kBlankPage) sorted.emplace_back(keys[i], i);
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 1, copy = 0; i < sorted.size(); ++i) {
        copy = sorted[i].first == sorted[i - 1].first ? copy + 1 : 0;
        if (copy == 0) continue;
        const Key key = Hash64(std::to_string(copy), sorted[i].first);
        keys[sorted[i].second] = key == kBlankPage ? 1 : key;
    }
}

}  // namespace rvm::learn
