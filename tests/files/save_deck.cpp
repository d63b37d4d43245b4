// Writes an N-page deck to a path the way the program saves, for the
// kill-during-save check: save_deck PATH PAGES TAG
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "files/Cp932.h"
#include "files/DeckFile.h"
#include "files/FileIo.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: save_deck PATH PAGES TAG\n");
        return 2;
    }
    const int pages = std::atoi(argv[2]);
    std::vector<std::string> upper, lower;
    std::vector<int> order(pages);
    std::iota(order.begin(), order.end(), 0);
    for (int k = 0; k < pages; ++k) {
        upper.push_back(argv[3] + (" 問題 " + std::to_string(k)) + std::string(100, 'q'));
        lower.push_back("答え\r\n" + std::to_string(k) + std::string(100, 'a'));
    }
    std::string error;
    if (!rvm::WriteFileAtomic(argv[1], rvm::cp932::encode(rvm::DeckText(upper, lower, order)).bytes,
                              error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
