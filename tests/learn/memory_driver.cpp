// One run of the program as the memory sees it, for checks that carry the
// memory between machines with a real file-sync program. A page is named by
// its question (its answer empty); a grade is 0 (まだ) or 1 (覚えた).
//   memory_driver grade FOLDER LOCAL PAGE GRADE DAY TIME
//   memory_driver show FOLDER LOCAL FIRST_DAY LAST_DAY PAGE...
#include <cstdio>
#include <cstdlib>
#include <string>

#include "learn/LearnStore.h"

using namespace rvm::learn;

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (!(command == "grade" && argc == 8) && !(command == "show" && argc >= 6)) {
        std::fputs("usage: memory_driver grade FOLDER LOCAL PAGE GRADE DAY TIME\n"
                   "       memory_driver show FOLDER LOCAL FIRST_DAY LAST_DAY PAGE...\n", stderr);
        return 2;
    }
    LearnStore store;
    store.open(argv[2], argv[3]);
    if (command == "grade") {
        const Grade g = std::atoi(argv[5]) ? Grade::Knew : Grade::NotYet;
        store.grade(PageKey(argv[4], ""), g, std::atoi(argv[6]), std::atoll(argv[7]));
    } else {
        for (int i = 6; i < argc; ++i)
            if (const PageState* p = store.find(PageKey(argv[i], "")))
                std::printf("%s stability %.4f difficulty %.4f due %d last %d missed %d\n", argv[i], p->stability,
                            p->difficulty, p->due, p->last, p->missed);
        for (Day day = std::atoi(argv[4]); day <= std::atoi(argv[5]); ++day) {
            const DayCounts c = store.counts(day);
            std::printf("day %d reviewed %d missed %d introduced %d\n", day, c.reviewed, c.missed, c.introduced);
        }
    }
    // Damage shows in the output, so a half-read folder never passes for a whole one.
    if (const std::string message = store.takeMessage(); !message.empty()) std::printf("message %s\n", message.c_str());
    return store.healthy() ? 0 : 1;
}
