// A large deck of mixed Japanese and ASCII text for the benchmarks.
#pragma once

#include <chrono>
#include <random>
#include <string>

#include "deck/Document.h"

namespace rvm::bench {

inline double nowUs() {
    using namespace std::chrono;
    return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

// About `chars` characters per text, alternating kana/kanji and ASCII words.
inline std::string text(std::mt19937& rng, int chars) {
    static const char* const words[] = {"問題", "答え", "りんご", "ｶﾀｶﾅ", "apple", "the quick",
                                        "日本語", "テスト", "memory", "漢字"};
    std::string s;
    int n = 0;
    while (n < chars) {
        const char* w = words[rng() % 10];
        s += w;
        s += ' ';
        n += 5;
        if (rng() % 20 == 0) s += "\r\n";
    }
    return s;
}

inline void fill(Document& doc, int pages, int chars) {
    std::mt19937 rng(1);
    Deck deck;
    for (int k = 0; k < pages; ++k) {
        std::string question = text(rng, chars);
        deck.pages.push_back({std::move(question), text(rng, chars)});
        deck.displayOrder.push_back(k);
    }
    doc.replaceDeck(std::move(deck));
}

}  // namespace rvm::bench
