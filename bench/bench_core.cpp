// Figures for the deck core on a full deck of 32,768 pages.
// Usage: bench_core [nav|files|edit|order]   (all when omitted)
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "BenchDeck.h"
#include "FakeUi.h"
#include "PeakMemory.h"
#include "TempDir.h"
#include "deck/Deck.h"
#include "deck/PageOrder.h"
#include "edit/PageEdits.h"
#include "files/Cp932.h"
#include "files/FileCommands.h"
#include "files/FileIo.h"

using namespace rvm;
using rvm::bench::nowUs;

namespace {

constexpr int kPages = kMaxPages;

void nav() {
    test::FakeView v;
    test::FakePrompt p;
    Document doc(v, p);
    bench::fill(doc, kPages, 200);
    std::mt19937 rng(2);
    const int moves = 200000;
    double t = nowUs();
    for (int i = 0; i < moves; ++i) doc.showPage(i % 2 ? 0 : doc.lastPage(), {.storeTyped = true});
    std::printf("nav   first<->last      %8.3f us/move\n", (nowUs() - t) / moves);
    t = nowUs();
    for (int i = 0; i < moves; ++i) doc.showPage(static_cast<int>(rng() % kPages), {.storeTyped = true});
    std::printf("nav   random jumps      %8.3f us/move\n", (nowUs() - t) / moves);
    doc.showPage(0);
    t = nowUs();
    for (int i = 0; i < kPages - 1; ++i) doc.showPage(doc.currentPage() + 1, {.storeTyped = true, .appendPastLast = true});
    std::printf("nav   next across deck  %8.3f us/move\n", (nowUs() - t) / (kPages - 1));
}

void files() {
    test::TempDir dir;
    test::FakeView v;
    test::FakePrompt p;
    const std::string path = dir.file("big.rvm");
    double save = 0, load = 0, floorEnc = 0, floorDec = 0, disk = 0;
    std::size_t bytes = 0;
    {
        Document doc(v, p);
        FileCommands commands(doc, v, p);
        bench::fill(doc, kPages, 150);
        const int reps = 5;
        for (int r = 0; r < reps; ++r) {
            double t = nowUs();
            commands.saveDeck(path, false);
            save += (nowUs() - t) / reps;
        }
        bytes = std::filesystem::file_size(path);
        // The floor: one bare conversion of the same text, each way.
        std::string utf8;
        for (const Page& p : doc.deck().pages) utf8 += p.question + p.answer;
        for (int r = 0; r < reps; ++r) {
            double t = nowUs();
            auto e = cp932::encode(utf8);
            floorEnc += (nowUs() - t) / reps;
            t = nowUs();
            auto d = cp932::decode(e.bytes);
            floorDec += (nowUs() - t) / reps;
            t = nowUs();
            std::string err;
            WriteFileAtomic(dir.file("raw.bin"), e.bytes, err);
            disk += (nowUs() - t) / reps;
        }
    }
    {
        Document doc(v, p);
        FileCommands commands(doc, v, p);
        const int reps = 5;
        for (int r = 0; r < reps; ++r) {
            double t = nowUs();
            commands.loadDeck(path);
            load += (nowUs() - t) / reps;
        }
    }
    std::printf("files deck of %d pages, %.1f MB\n", kPages, bytes / 1e6);
    std::printf("files save %8.1f ms  (bare iconv encode %6.1f ms, ratio %.2f)\n", save / 1000,
                floorEnc / 1000, save / floorEnc);
    std::printf("files   of which the safe write to disk (temporary file, fsync, rename) %.1f ms;"
                " without it, ratio %.2f\n",
                disk / 1000, (save - disk) / floorEnc);
    std::printf("files load %8.1f ms  (bare iconv decode %6.1f ms, ratio %.2f)\n", load / 1000,
                floorDec / 1000, load / floorDec);
    // Peak memory of a load, measured in a fresh process.
    std::fflush(stdout);
    if (!bench::RunThisProgram({"load", path}))
        std::printf("files peak memory: the measuring process failed\n");
}

void loadOnly(const std::string& path) {
    test::FakeView v;
    test::FakePrompt p;
    Document doc(v, p);
    FileCommands commands(doc, v, p);
    const long before = bench::PeakMemoryKb();
    commands.loadDeck(path);
    const long after = bench::PeakMemoryKb();
    const double bytes = static_cast<double>(std::filesystem::file_size(path));
    std::printf("files peak memory while loading %.1f MB (%.2f x file)\n", (after - before) / 1024.0,
                (after - before) * 1024.0 / bytes);
}

void edit() {
    test::FakeView v;
    test::FakePrompt p;
    Document doc(v, p);
    PageEdits edits(doc, v, p);
    bench::fill(doc, kPages - 1, 200);
    doc.showPage(kPages / 2);
    const int reps = 200;
    auto time = [&](const char* name, auto&& f) {
        double t = nowUs();
        for (int i = 0; i < reps; ++i) f();
        std::printf("edit  %-8s %8.1f us/command\n", name, (nowUs() - t) / reps);
    };
    time("cut", [&] {
        edits.cutPage();
        edits.pastePage();
    });
    time("insert", [&] {
        edits.insertBlankPage();
        edits.deletePage();
    });
    time("undo", [&] {
        edits.insertBlankPage();
        doc.undo();
    });
    double t = nowUs();
    for (int i = 0; i < reps; ++i) {
        auto copy = doc.deck();
    }
    std::printf("edit  (plain copy of the deck %8.1f us; each pair above is two commands)\n",
                (nowUs() - t) / reps);
}

void order() {
    test::FakeView v;
    test::FakePrompt p;
    Document doc(v, p);
    std::mt19937 rng(3);
    bench::fill(doc, kPages, 200);
    const int reps = 50;
    auto time = [&](const char* name, auto&& f) {
        double t = nowUs();
        for (int i = 0; i < reps; ++i) f();
        std::printf("order %-22s %8.2f ms\n", name, (nowUs() - t) / reps / 1000);
    };
    time("random order", [&] { RandomOrder(kPages, rng); });
    time("OK random, temporary", [&] { doc.applyOrder(RandomOrder(kPages, rng), true); });
    time("OK initial state", [&] {
        std::vector<int> o(kPages);
        for (int k = 0; k < kPages; ++k) o[k] = k;
        doc.applyOrder(o, true);
    });
    time("OK random, permanent", [&] { doc.applyOrder(RandomOrder(kPages, rng), false); });
    time("list rows", [&] { PageRows(doc.deck()); });
}

}  // namespace

int main(int argc, char** argv) {
    const char* only = argc > 1 ? argv[1] : "";
    if (argc > 2 && std::strcmp(only, "load") == 0) {
        loadOnly(argv[2]);
        return 0;
    }
    auto want = [&](const char* s) { return !*only || std::strcmp(only, s) == 0; };
    if (want("nav")) nav();
    if (want("files")) files();
    if (want("edit")) edit();
    if (want("order")) order();
}
