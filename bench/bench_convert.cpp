// Figures for the converter on the full bench deck, each way, against a bare
// code page conversion of the same bytes: in this process (cp932::encode and
// decode) and as programs (ravolin-memorel-convert against iconv); then the
// peak memory of reading a large table, against the table's size.
// Usage: bench_convert [import|convert TABLE]   (the latter: one measurement)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "BenchDeck.h"
#include "FakeUi.h"
#include "PeakMemory.h"
#include "TempDir.h"
#include "deck/Deck.h"
#include "files/Cp932.h"
#include "files/DeckExchange.h"
#include "files/DeckFile.h"
#include "files/FileCommands.h"
#include "files/FileFaults.h"

using namespace rvm;
using rvm::bench::nowUs;

namespace {

constexpr int kReps = 5;

// Best of kReps, in milliseconds: the machine is shared, the minimum is the figure.
template <class F>
double best(F&& f) {
    double m = 1e300;
    for (int r = 0; r < kReps; ++r) {
        double t = nowUs();
        f();
        m = std::min(m, (nowUs() - t) / 1000);
    }
    return m;
}

double run(const std::string& command) {
    return best([&] {
        if (std::system(command.c_str()) != 0) std::printf("failed: %s\n", command.c_str());
    });
}

void line(const char* what, double ms, const char* floorName, double floor) {
    std::printf("%-34s %8.1f ms  (%s %7.1f ms, ratio %.2f)\n", what, ms, floorName, floor, ms / floor);
}

// The most memory a table's import (File > Import) or conversion to a deck
// file (what the converter does) holds at once, read here as the program
// reads it, in this fresh process.
bool peakOfReading(const char* how, const std::string& path) {
    test::FakeView v;
    test::FakePrompt p;
    Document doc(v, p);
    FileCommands commands(doc, v, p);
    const long before = bench::PeakMemoryKb();
    bool done;
    if (std::strcmp(how, "import") == 0) {
        p.tableChoices.push_back({path, 5});  // TSV
        commands.importTable();
        done = doc.changed();
    } else {
        ConvertReport report;
        TableFile table(path);
        done = TableToDeckFile(table, {.from = DeckFormat::Tsv, .to = DeckFormat::Rvm}, report).has_value();
    }
    const long after = bench::PeakMemoryKb();
    const double bytes = static_cast<double>(std::filesystem::file_size(path));
    std::printf("peak memory, %-7s %.1f MB table: %7.1f MB (%.2f x table)\n", how, bytes / 1e6,
                (after - before) * 1024 / 1e6, (after - before) * 1024.0 / bytes);
    return done;
}

// A table of the full page count with long texts, each measured in a fresh process.
void peaks() {
    test::FakeView v;
    test::FakePrompt p;
    test::TempDir dir;
    const std::string path = dir.file("large.tsv");
    {
        Document doc(v, p);
        bench::fill(doc, kMaxPages, 1000);
        ConvertReport report;
        test::spit(path, DeckToTable(doc.deck(), {}, report).value_or(""));
    }
    std::fflush(stdout);
    for (const char* how : {"import", "convert"})
        if (!bench::RunThisProgram({how, path})) std::printf("peak memory, %s: the measuring process failed\n", how);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) return peakOfReading(argv[1], argv[2]) ? 0 : 1;
    test::FakeView v;
    test::FakePrompt p;
    Document doc(v, p);
    bench::fill(doc, kMaxPages, 150);
    const std::string deck = cp932::encode(DeckText(doc.deck())).bytes;
    std::printf("deck of %d pages, %.1f MB\n", kMaxPages, deck.size() / 1e6);

    std::string tables[2];
    const DeckFormat formats[2] = {DeckFormat::Tsv, DeckFormat::Csv};
    const char* const names[2] = {"tsv", "csv"};
    for (int f = 0; f < 2; ++f) {
        const ConvertOptions out{DeckFormat::Rvm, formats[f], "in", "out", false, false};
        const ConvertOptions in{formats[f], DeckFormat::Rvm, "in", "out", false, false};
        tables[f] = ConvertDeck(deck, out).bytes;
        const double decode = best([&] { cp932::decode(deck); });
        const double encode = best([&] { cp932::encode(tables[f]); });
        line((std::string("in process  rvm -> ") + names[f]).c_str(), best([&] { ConvertDeck(deck, out); }),
             "decode", decode);
        line((std::string("in process  ") + names[f] + " -> rvm").c_str(), best([&] { ConvertDeck(tables[f], in); }),
             "encode", encode);
    }

    test::TempDir dir;
    const std::string rvm = dir.file("deck.rvm"), tsv = dir.file("deck.tsv");
    test::spit(rvm, deck);
    test::spit(tsv, tables[0]);
    const std::string exe = std::string("'") + RVM_CONVERT_EXE + "' ";
    const double iconvOut = run("iconv -f CP932 -t UTF-8 '" + rvm + "' > '" + dir.file("x") + "'");
    const double iconvIn = run("iconv -f UTF-8 -t CP932 '" + tsv + "' > '" + dir.file("x") + "'");
    line("program     rvm -> tsv", run(exe + "'" + rvm + "' '" + dir.file("out.tsv") + "'"), "iconv", iconvOut);
    line("program     tsv -> rvm", run(exe + "'" + tsv + "' '" + dir.file("out.rvm") + "'"), "iconv", iconvIn);
    line("program     tsv -> rvm on stdout", run(exe + "'" + tsv + "' - --to rvm > '" + dir.file("x") + "'"),
         "iconv", iconvIn);
    std::printf("(the file output is a safe save: temporary file, fsync, rename; stdout is not)\n");

    // A million characters the code page cannot hold, against a million it
    // holds: outside the first plane (an emoji), inside it (a Hangul syllable).
    const auto times = [](const char* s, int n) {
        std::string out;
        while (n-- > 0) out += s;
        return out;
    };
    const std::string held = times("あ", 1000000), emoji = times("😀", 1000000), hangul = times("한", 1000000);
    const double heldMs = best([&] { cp932::encode(held); });
    line("encode 1,000,000 emoji", best([&] { cp932::encode(emoji); }), "held", heldMs);
    line("encode 1,000,000 Hangul", best([&] { cp932::encode(hangul); }), "held", heldMs);
    test::spit(dir.file("held.tsv"), "q\t" + held + "\n");
    test::spit(dir.file("emoji.tsv"), "q\t" + emoji + "\n");
    line("program     1,000,000 emoji --lossy",
         run(exe + "'" + dir.file("emoji.tsv") + "' '" + dir.file("x.rvm") + "' --lossy 2>/dev/null"), "held",
         run(exe + "'" + dir.file("held.tsv") + "' '" + dir.file("x.rvm") + "'"));
    peaks();
}
