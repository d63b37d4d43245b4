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

const std::string kCannotRead = "学習の記録を読めませんでした。";
const std::string kCannotKeep = "学習の記録を保存できません。";

struct LearnFiles : ::testing::Test {
    TempDir dir;
    std::string data = dir.file("data"), deck = dir.file("デッキ.rvm");
    LearnStore store;
    std::string open(const std::string& path) {
        store.open(data, path, {'A', 'B', 'C'});
        return store.takeMessage();
    }
    std::string grade(Key key) {
        store.grade(key, Grade::Knew, 2);
        return store.takeMessage();
    }
    // The pages the history holds of A, B and C.
    std::string held() const {
        std::string s;
        for (char key : {'A', 'B', 'C'}) s += store.find(key) ? std::string(1, key) : "";
        return s;
    }
    // An untitled deck's grade of A, kept from its first save on.
    void saved() {
        open("");
        store.grade('A', Grade::NotYet, 1);
        store.deckSavedAs(deck);
    }
};

// The file's text as f changes it.
void change(const std::string& path, const std::function<void(std::string&)>& f) {
    std::string s = slurp(path);
    f(s);
    spit(path, s);
}

void folderAt(const std::string& path) { fs::remove(fsPath(path)), fs::create_directory(fsPath(path)); }

}  // namespace

// Save As carries the history to the new name; the old name keeps its own.
TEST_F(LearnFiles, FollowsTheDeckFromUntitledThroughSaveAs) {
    saved();
    grade('B');
    const std::string copy = dir.file("copy.rvm");
    store.deckSavedAs(copy);
    grade('C');
    EXPECT_EQ((std::tuple{open(deck), held(), store.counts(1)}), std::tuple("", "AB", DayCounts{1, 1, 1}));
    EXPECT_EQ((std::tuple{open(copy), held(), store.counts(2)}), std::tuple("", "ABC", DayCounts{2, 0, 2}));
    // One deck, one history, whichever way its path is written.
    EXPECT_EQ(LearnStore::HistoryPath(data, dir.file("no/../copy.rvm")), LearnStore::HistoryPath(data, copy));
}

// A bad history opens the deck all the same, says so once, keeps what it
// could read and is whole again after the next grade. The history holds A,
// its log B.
TEST_F(LearnFiles, BadFilesNeverStopTheDeck) {
    using Text = std::string&;
    const struct { const char* what; std::function<void(const std::string&)> damage; bool told; const char* held; }
        rows[] = {
            {"as written", [](auto&) {}, false, "AB"},
            {"last line cut short", [](auto& h) { change(h + ".log", [](Text s) { s += "9 2 c 1"; }); }, false, "AB"},
            {"log line altered", [](auto& h) { change(h + ".log", [](Text s) { s[2] = '3'; }); }, true, "A"},
            {"history line altered", [](auto& h) { change(h, [](Text s) { s[s.find("page 41") + 5] = 'x'; }); },
             true, "B"},
            {"history cut short", [](auto& h) { change(h, [](Text s) { s.erase(s.find("end")); }); }, true, "AB"},
            {"another deck's", [](auto& h) { change(h, [](Text s) { s.insert(s.find("deck ") + 5, "/x"); }); },
             true, ""},
            {"too large", [](auto& h) { fs::resize_file(fsPath(h), std::uintmax_t{65} << 20); }, true, ""},
            {"history a folder", [](auto& h) { folderAt(h); }, true, ""},
            {"log a folder", [](auto& h) { folderAt(h + ".log"); }, true, "A"},
#ifndef _WIN32
            {"history a FIFO", [](auto& h) { fs::remove(h), ::mkfifo(h.c_str(), 0600); }, true, ""},
#endif
        };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        fs::remove_all(fsPath(data));
        saved();
        grade('B');
        r.damage(LearnStore::HistoryPath(data, deck));
        EXPECT_EQ(open(deck).substr(0, r.told ? kCannotRead.size() : 0), r.told ? kCannotRead : "");
        EXPECT_EQ(held(), r.held);
        EXPECT_EQ(grade('C'), "");
        EXPECT_EQ((std::tuple{open(deck), held()}), std::tuple("", r.held + std::string("C")));
    }
}

#ifndef _WIN32
// As an ordinary user: what cannot be read or kept is told once with the
// system's reason, and grading goes on in memory.
TEST_F(LearnFiles, RefusedFilesAreToldOnce) {
    const std::string denied = "\r許可がありません";
    // What opening, grading B and grading C say, and what the history holds then.
    using Refuse = std::function<void(LearnFiles&, const TempDir&)>;
    const struct { Refuse refuse; std::array<std::string, 4> told; } rows[] = {
        {[](auto& f, auto&) { ::chmod(f.data.c_str(), 0555); }, {"", kCannotKeep + denied, "", "ABC"}},
        {[](auto& f, auto& t) {  // a folder that cannot be made
             f.data = t.file("ro/data");
             fs::create_directory(t.file("ro")), ::chmod(t.file("ro").c_str(), 0555);
         }, {"", kCannotKeep + denied, "", "BC"}},
        {[](auto& f, auto&) { ::chmod(LearnStore::HistoryPath(f.data, f.deck).c_str(), 0); },
         {kCannotRead + denied, "", "", "BC"}},
    };
    runAsUser([&] {
        for (const auto& r : rows) {
            TempDir mine;
            data = mine.file("data");
            deck = mine.file("d.rvm");
            saved();
            r.refuse(*this, mine);
            EXPECT_EQ((std::array{open(deck), grade('B'), grade('C'), held()}), r.told);  // in this order
        }
    });
}
#endif
