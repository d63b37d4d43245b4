// Page states by key in one array. Keys are hashes already, so their low
// bits spread the pages evenly: open addressing with linear probing, no
// allocation per page, which a history of 32,768 pages reads in quickly.
#pragma once

#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

#include "PageKey.h"
#include "Schedule.h"

namespace rvm::learn {

class PageTable {
public:
    const PageState* find(Key key) const {
        if (slots_.empty() || key == kBlankPage) return nullptr;
        for (std::size_t i = key & mask();; i = (i + 1) & mask()) {
            if (slots_[i].key == key) return &slots_[i].state;
            if (slots_[i].key == kBlankPage) return nullptr;
        }
    }
    // The state of key (never kBlankPage), made when missing. It stays where
    // it is until the next page is added.
    PageState& operator[](Key key) {
        if (2 * (used_ + 1) > slots_.size()) grow(std::max<std::size_t>(64, 2 * slots_.size()));
        std::size_t i = key & mask();
        while (slots_[i].key != key && slots_[i].key != kBlankPage) i = (i + 1) & mask();
        if (slots_[i].key == kBlankPage) {
            slots_[i].key = key;
            ++used_;
        }
        return slots_[i].state;
    }
    // Room for n pages without growing.
    void reserve(std::size_t n) {
        if (2 * n > slots_.size()) grow(std::bit_ceil(2 * n));
    }
    // Keeps the pages for which keep(key) is true.
    template <class Keep>
    void keepIf(Keep keep) { rebuild(slots_.size(), keep); }
    template <class F>
    void forEach(F f) const {
        for (const Slot& s : slots_)
            if (s.key != kBlankPage) f(s.key, s.state);
    }
    template <class F>
    void forEach(F f) {
        for (Slot& s : slots_)
            if (s.key != kBlankPage) f(s.key, s.state);
    }
    std::size_t size() const { return used_; }

private:
    struct Slot {
        Key key = kBlankPage;  // a free slot
        PageState state;
    };
    std::size_t mask() const { return slots_.size() - 1; }
    template <class Keep>
    void rebuild(std::size_t count, Keep keep) {
        std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(count));
        used_ = 0;
        for (const Slot& s : old)
            if (s.key != kBlankPage && keep(s.key)) (*this)[s.key] = s.state;
    }
    void grow(std::size_t count) {  // "slots" is a word Qt takes for itself
        rebuild(count, [](Key) { return true; });
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

}  // namespace rvm::learn
