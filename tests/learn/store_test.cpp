// The history on disk: it follows the deck, survives a crash but for the
// last grade, and never stops the deck when its files are bad.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <tuple>

#include "TempDir.h"
#include "learn/LearnStore.h"
#ifndef _WIN32
#include "AsUser.h"
#endif

using namespace rvm::learn;
using namespace rvm::test;
namespace fs = std::filesystem;

namespace {

constexpr Key kA = 0xA, kB = 0xB, kC = 0xC;
const std::string kCannotRead = "学習の記録を読めませんでした。", kCannotKeep = "学習の記録を保存できません。";

struct LearnFiles : ::testing::Test {
    TempDir dir;
    std::string data = dir.file("data"), deck = dir.file("デッキ.rvm");
    LearnStore store;
    std::string open(const std::string& path) {
        store.open(data, path, {kA, kB, kC});
        return store.takeMessage();
    }
    std::string grade(Key key) {
        store.grade(key, Grade::Knew, 2);
        return store.takeMessage();
    }
    bool has(Key key) const { return store.find(key) != nullptr; }
    // An untitled deck's grade of A, kept from its first save on.
    void saved() {
        open("");
        store.grade(kA, Grade::NotYet, 1);
        store.deckSavedAs(deck);
    }
    std::string history() const { return LearnStore::HistoryPath(data, deck); }
};

}  // namespace

// Save As carries the history to the new name; the old name keeps its own.
TEST_F(LearnFiles, FollowsTheDeckFromUntitledThroughSaveAs) {
    saved();
    grade(kB);
    const std::string copy = dir.file("copy.rvm");
    store.deckSavedAs(copy);
    grade(kC);
    EXPECT_EQ(open(deck), "");
    EXPECT_EQ(std::tuple(has(kA), has(kB), has(kC), store.counts(1)), std::tuple(true, true, false, DayCounts{1, 1, 1}));
    EXPECT_EQ(open(copy), "");
    EXPECT_EQ(std::tuple(has(kA), has(kB), has(kC), store.counts(2)), std::tuple(true, true, true, DayCounts{2, 0, 2}));
    // One deck, one history, whichever way its path is written.
    EXPECT_EQ(LearnStore::HistoryPath(data, dir.file("no/../copy.rvm")), LearnStore::HistoryPath(data, copy));
}

// A bad history opens the deck all the same, says so once, keeps what it
// could read and is whole again after the next grade. The history holds A,
// its log B.
TEST_F(LearnFiles, BadFilesNeverStopTheDeck) {
    using Edit = std::function<void(std::string&)>;
    const auto edit = [](const char* which, Edit f) {
        return [=](const std::string& path) {
            const std::string p = path + which;
            std::string s = slurp(p);
            f(s);
            spit(p, s);
        };
    };
    const auto folder = [](const char* which) {
        return [=](const std::string& path) { fs::remove(fsPath(path + which)), fs::create_directory(fsPath(path + which)); };
    };
    const struct { const char* what; std::function<void(const std::string&)> damage; bool told, a, b; } rows[] = {
        {"as written", [](auto&) {}, false, true, true},
        {"last line cut short by a crash", edit(".log", [](auto& s) { s += "9 2 c 1"; }), false, true, true},
        {"log line altered", edit(".log", [](auto& s) { s[s.find(' ') + 1] = '3'; }), true, true, false},
        {"history line altered", edit("", [](auto& s) { s[s.find("page a ") + 5] = 'x'; }), true, false, true},
        {"history cut short", edit("", [](auto& s) { s.erase(s.find("end")); }), true, true, true},
        {"another deck's", edit("", [](auto& s) { s.insert(s.find("deck ") + 5, "/old"); }), true, false, false},
        {"no history", edit("", [](auto& s) { s = "\x1f" "deck\r\n"; }), true, false, false},
        {"too large", [](auto& p) { fs::resize_file(fsPath(p), std::uintmax_t{65} << 20); }, true, false, false},
        {"history a folder", folder(""), true, false, false},
        {"log a folder", folder(".log"), true, true, false},
#ifndef _WIN32
        {"history a FIFO", [](auto& p) { fs::remove(p), ::mkfifo(p.c_str(), 0600); }, true, false, false},
#endif
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        fs::remove_all(fsPath(data));
        saved();
        grade(kB);
        r.damage(history());
        EXPECT_EQ(open(deck).substr(0, r.told ? kCannotRead.size() : 0), r.told ? kCannotRead : "");
        EXPECT_EQ(std::tuple(has(kA), has(kB)), std::tuple(r.a, r.b));
        const std::string graded = grade(kC);
        EXPECT_EQ(graded + open(deck), "");
        EXPECT_EQ(std::tuple(has(kA), has(kB), has(kC)), std::tuple(r.a, r.b, true));
    }
}

#ifndef _WIN32
// As an ordinary user: what cannot be read or kept is told once with the
// system's reason, and grading goes on in memory.
TEST_F(LearnFiles, RefusedFilesAreToldOnce) {
    const std::string denied = "\rPermission denied";
    const struct { const char* what; std::function<void(LearnFiles&, TempDir&)> refuse; std::array<std::string, 3> told; } rows[] = {
        {"folder takes no new file", [](auto& f, auto&) { ::chmod(f.data.c_str(), 0555); },
         {"", kCannotKeep + denied, ""}},
        {"folder cannot be made", [](auto& f, auto& t) { f.data = t.file("ro/data"), fs::create_directory(t.file("ro")), ::chmod(t.file("ro").c_str(), 0555); },
         {"", kCannotKeep + denied, ""}},
        {"history only another may read", [](auto& f, auto&) { ::chmod(f.history().c_str(), 0); },
         {kCannotRead + denied, "", ""}},
    };
    runAsUser([&] {
        for (const auto& r : rows) {
            SCOPED_TRACE(r.what);
            TempDir mine;
            data = mine.file("data");
            deck = mine.file("d.rvm");
            saved();
            r.refuse(*this, mine);
            EXPECT_EQ((std::array{open(deck), grade(kB), grade(kC)}), r.told);  // in this order
            EXPECT_TRUE(has(kB) && has(kC));
        }
    });
}
#endif
