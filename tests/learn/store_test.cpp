// The memory on disk: writers that never hide each other's grades, files
// half synced or damaged, links planted in the folder, earlier histories
// carried over, grades taken back and edits carried.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "TempDir.h"
#include "learn/LearnStore.h"
#include "learn/Record.h"
#ifndef _WIN32
#include <sys/stat.h>

#include "AsUser.h"
#endif

using namespace rvm::learn;
using namespace rvm::test;
namespace fs = std::filesystem;

namespace {

const std::string kCannotRead = "学習の記録を読めませんでした。";
const std::string kCannotKeep = "学習の記録を保存できません。";

struct Memory : ::testing::Test {
    TempDir dir;
    std::string folder = dir.file("memory");
    // Each writer a store of its own; a machine a local folder of its own.
    LearnStore open(const std::string& machine, const std::string& legacy = {}) {
        LearnStore s;
        s.open(folder, dir.file(machine), legacy);
        return s;
    }
    // The pages of "ABCD" the store holds, and the interval of each.
    static std::string held(const LearnStore& s) {
        std::string out;
        for (char key : {'A', 'B', 'C', 'D'})
            if (const PageState* p = s.find(key)) out += key + std::to_string(p->due - p->last);
        return out;
    }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(fsPath(folder))) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

void grade(LearnStore& s, Key key, Grade g = Grade::Knew, Day day = 10, std::int64_t time = 0) {
    s.grade(key, g, day, time ? time : day * 86400 + 36000 + static_cast<std::int64_t>(key));
}

}  // namespace

// Windows and machines each write their own log; every reader sees all of
// it, whatever was folded, in the same order, so all agree.
TEST_F(Memory, WritersNeverHideEachOthersGrades) {
    LearnStore first = open("m1");
    LearnStore second = open("m1");  // another window
    LearnStore other = open("m2");   // another machine
    grade(first, 'A');
    for (int day = 10; day < 14; ++day) grade(second, 'B', Grade::Knew, day);
    grade(other, 'C', Grade::NotYet);
    grade(other, 'A', Grade::NotYet, 11);
    second = {};  // the window closes: a third open may fold its log
    LearnStore third = open("m1");
    grade(first, 'D');  // after the fold, as before it
    for (LearnStore* s : {&first, &third, &other}) s->refresh();
    EXPECT_EQ(held(first), "A0B11C0D3");
    EXPECT_EQ(held(third), held(first));
    EXPECT_EQ(held(other), held(first));
    EXPECT_EQ(first.counts(10), (DayCounts{4, 1, 4}));
    // Reopened from the files alone, the same.
    EXPECT_EQ(held(open("m3")), held(first));
}

// Folding puts ended writers' logs of this machine into its snapshot and
// removes them, never another machine's or a running writer's.
TEST_F(Memory, FoldsOnlyWhatItRead) {
    LearnStore running = open("m1");
    grade(running, 'A');
    LearnStore other = open("m2");
    grade(other, 'B');
    // A writer of this machine that ended with a long log.
    std::string log = LogHeader(slurp(dir.file("m1/machine")) + "-00000000000000ff");
    for (int n = 1; n <= LearnStore::kFoldAfter; ++n)
        log += LogLine({.seq = static_cast<std::uint64_t>(n), .time = 900000 + n, .day = 10 + n, .key = 'C'});
    spit(folder + "/" + slurp(dir.file("m1/machine")) + "-00000000000000ff.log", log);
    const auto before = files();
    LearnStore folding = open("m1");
    const auto after = files();
    EXPECT_EQ(after.size(), before.size());  // one log gone, one snapshot made
    EXPECT_EQ(std::count_if(after.begin(), after.end(), [](auto& n) { return n.ends_with(".snapshot"); }), 1);
    grade(running, 'D');
    EXPECT_EQ(held(open("m3")), held(folding) + "D3");
}

// A log cut mid-line (a sync in progress), a conflict copy, a damaged line,
// a damaged snapshot: what can be read is read, nothing is counted twice,
// the damage is told once and never thrown away.
TEST_F(Memory, HalfSyncedAndDamagedFilesAreReadSafely) {
    using Text = std::string&;
    const struct { const char* what; std::function<void(Text)> damage; std::string copy; bool told; const char* held; }
        rows[] = {
            {"as written", [](Text) {}, "", false, "A6B3"},
            {"last line cut short", [](Text s) { s.resize(s.size() - 5); }, "", false, "A3B3"},
            {"a conflict copy", [](Text) {}, "x.sync-conflict-20261208-101010-ABC.log", false, "A6B3"},
            {"a line altered", [](Text s) { s[s.rfind("g ") + 2] = '7'; }, "", true, "A3B3"},
            {"no log of ours", [](Text s) { s = "hello\n"; }, "", false, "B3"},
        };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        fs::remove_all(fsPath(folder));
        std::string log;
        {
            LearnStore s = open("m1");
            grade(s, 'A');
            grade(s, 'A', Grade::Knew, 11);
            log = s.folder() + "/" + s.writerName() + ".log";
        }
        LearnStore b = open("m2");
        grade(b, 'B');
        std::string text = slurp(log);
        r.damage(text);
        spit(r.copy.empty() ? log : dir.file("memory/" + r.copy), text);
        LearnStore reader = open("m3");
        EXPECT_EQ(reader.takeMessage().substr(0, r.told ? kCannotRead.size() : 0), r.told ? kCannotRead : "");
        EXPECT_EQ(held(reader), r.held);
    }
    // A snapshot cut short: its whole lines still count.
    LearnStore s = open("m4");
    const std::string snapshot = folder + "/cut.snapshot";
    spit(snapshot, "Ravolin Memorel memory 1\nw ab-cd\ne 0 g 1 900000 10 44 1\ne 0 g 2 9");
    EXPECT_EQ(held(open("m5")), "B3D3");
}

// Opened from the states a snapshot carries, the memory is what replaying
// every event gives, to the last bit, whatever came after the snapshot;
// readers that know no such states read the snapshot as before.
TEST_F(Memory, SnapshotStatesAreEveryEventReplayed) {
    const auto snapshot = [&] { return folder + "/" + slurp(dir.file("m1/machine")) + ".snapshot"; };
    const std::int64_t late = 40 * 86400;
    using After = std::function<void(LearnStore & folded, LearnStore & other)>;
    const struct { const char* what; After after; double retention = 0.9; } rows[] = {
        {"nothing since", [](auto&, auto&) {}},
        {"later grades of two machines", [](auto& f, auto& o) {
             grade(f, 'B', Grade::Knew, 40);
             grade(o, 'F', Grade::Knew, 40);
         }},
        {"a grade from before the snapshot's last", [](auto&, auto& o) { grade(o, 'A', Grade::Knew, 11); }},
        {"a grade it holds taken back", [&](auto&, auto& o) { o.undoGrade(40, late); }},
        {"an edit carried", [&](auto& f, auto&) { f.carry('A', 'F', 40, late); }},
        {"another target", [](auto&, auto&) {}, 0.8},
        {"a damaged state", [&](auto&, auto&) {
             std::string text = slurp(snapshot());
             text[text.find("\np ") + 4] ^= 1;
             spit(snapshot(), text);
         }},
    };
    const auto exact = [](const LearnStore& s) {
        std::string pages;
        char line[96];
        for (char key : std::string("ABCDEF"))
            if (const PageState* p = s.find(key)) {
                std::snprintf(line, sizeof line, "%c %a %a %d %d %d\n", key, p->stability, p->difficulty, p->due,
                              p->last, p->missed);
                pages += line;
            }
        return std::pair(pages, ReviewsPerDay(s, 40, 33));
    };
    const std::string legacy = dir.file("legacy");
    fs::create_directory(fsPath(legacy));
    spit(legacy + "/0123456789abcdef.rvmlearn", "Ravolin Memorel learning history 1\ndeck /d.rvm\nseq 0\nday 9 1 0 1\n"
                                                "page 42 3 20 9 -2147483648\nend 1\n");
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        for (const char* d : {"memory", "m1", "m2", "r1", "r2"}) fs::remove_all(fsPath(dir.file(d)));
        LearnStore other = open("m2");
        grade(other, 'A', Grade::NotYet, 9);
        {
            LearnStore first = open("m1");
            for (const auto& [key, g, day] :
                 {std::tuple('C', Grade::Knew, 10), {'D', Grade::NotYet, 11}, {'C', Grade::Knew, 12}})
                grade(first, key, g, day);
            first.undoGrade(12, 12 * 86400 + 50000);
            first.carry('D', 'E', 12, 12 * 86400 + 50000);
        }
        grade(other, 'A', Grade::Knew, 13);
        LearnStore folded = open("m1", legacy);  // carries the earlier history over and folds
        r.after(folded, other);
        LearnStore cached = open("r1");
        const std::string text = slurp(snapshot());
        EXPECT_EQ(ReadSnapshot(text).damaged, 0);
        spit(snapshot(), text.substr(0, text.find('\n', text.find("\nend ") + 1) + 1));  // no states: every event read
        LearnStore full = open("r2");
        for (LearnStore* s : {&cached, &full}) s->setRetention(r.retention);
        EXPECT_EQ(exact(cached), exact(full));
    }
}

#ifndef _WIN32
// Links planted in the folder are never followed: not for reading, not for
// appending, not for replacing; nor is one in place of the program's own
// folder, while a folder the learner chose may be a link. Grading goes on
// in memory all the same. (Wine makes no links.)
TEST_F(Memory, NeverFollowsALinkOutOfItsFolder) {
    const std::string outside = dir.file("outside.txt"), elsewhere = dir.file("elsewhere");
    spit(outside, "mine\n");
    fs::create_directory(fsPath(elsewhere));
    const struct { bool folderIsLink; FolderLink link; bool kept; } rows[] = {
        {false, FolderLink::Refuse, false}, {true, FolderLink::Refuse, false}, {true, FolderLink::Follow, true}};
    for (const auto& r : rows) {
        if (r.folderIsLink) fs::create_directory_symlink(fsPath(elsewhere), fsPath(folder));
        LearnStore s;
        s.open(folder, dir.file("m1"), {}, r.link);
        if (!r.folderIsLink) {
            fs::create_symlink(fsPath(outside), fsPath(s.folder() + "/" + s.writerName() + ".log"));
            fs::create_symlink(fsPath(outside), fsPath(folder + "/planted.log"));
        }
        grade(s, 'A');
        EXPECT_EQ(s.takeMessage().substr(0, kCannotKeep.size()), r.kept ? "" : kCannotKeep);
        // Graded all the same, in memory; nothing written through a link refused.
        EXPECT_EQ(std::tuple(held(s), slurp(outside), fs::is_empty(fsPath(elsewhere))), std::tuple("A3", "mine\n", !r.kept));
        fs::remove_all(fsPath(folder));
    }
}

// A grade taken back is gone from every reader; edits carry a page's memory
// to its new text unless that text has one of its own.
TEST_F(Memory, UndoAndCarry) {
    LearnStore s = open("m1");
    grade(s, 'A', Grade::NotYet);
    grade(s, 'B');
    grade(s, 'C');
    const std::int64_t later = 11 * 86400;
    EXPECT_EQ(s.undoGrade(10, later), 'C');
    EXPECT_EQ(s.undoGrade(10, later), 'B');
    EXPECT_TRUE(s.canUndo());
    s.carry('A', 'D', 10, later);
    s.carry('B', 'C', 10, later);  // nothing to carry
    EXPECT_EQ(held(s), "A0D0");
    EXPECT_EQ(s.reviews('D').size(), 1u);  // the page's history goes with it
    EXPECT_EQ(s.counts(10), (DayCounts{1, 1, 1}));
    EXPECT_EQ(held(open("m2")), "A0D0");
}

// The target retention moves every page's next review at once, and back.
TEST_F(Memory, TheTargetRetentionReschedulesEveryPage) {
    LearnStore s = open("m1");
    grade(s, 'A');
    grade(s, 'B', Grade::Knew, 7);
    grade(s, 'B', Grade::Knew, 10);
    const struct { double retention; const char* held; } rows[] = {{0.8, "A8B26"}, {0.95, "A1B5"}, {0.9, "A3B11"}};
    for (const auto& r : rows) {
        s.setRetention(r.retention);
        EXPECT_EQ(held(s), r.held) << r.retention;
    }
}

// The per-deck histories of earlier versions are carried over once. Only
// the program on Linux kept them.
TEST_F(Memory, EarlierHistoriesAreCarriedOver) {
    const std::string legacy = dir.file("legacy");
    fs::create_directory(fsPath(legacy));
    const std::string line = "1 12 41 1 ";
    char check[16];
    std::snprintf(check, sizeof check, "%llx", static_cast<unsigned long long>(Hash64(line) & 0xFFFFFFFFu));
    spit(legacy + "/0123456789abcdef.rvmlearn",
         "Ravolin Memorel learning history 1\ndeck /d.rvm\nseq 0\nday 9 1 0 1\npage 42 3 20 9 -2147483648\nend 2\n");
    spit(legacy + "/0123456789abcdef.rvmlearn.log", line + check + "\n");
    EXPECT_EQ(held(open("m1", legacy)), "A1B11");
    EXPECT_EQ(open("m2").counts(9), (DayCounts{1, 0, 1}));
    fs::remove_all(fsPath(legacy + "/0123456789abcdef.rvmlearn"));
    EXPECT_EQ(held(open("m1", legacy)), "A1B11");  // kept, not read again
}

// As an ordinary user: a folder that cannot be written is told once with
// the system's reason, and grading goes on in memory.
TEST_F(Memory, RefusedFolderIsToldOnce) {
    runAsUser([&] {
        TempDir mine;
        folder = mine.file("memory");
        fs::create_directory(fsPath(folder));
        ::chmod(folder.c_str(), 0555);
        LearnStore s;
        s.open(folder, mine.file("local"));
        grade(s, 'A');
        EXPECT_EQ(s.takeMessage(), kCannotKeep + "\r許可がありません");
        grade(s, 'B');
        EXPECT_EQ(std::tuple(s.takeMessage(), held(s)), std::tuple("", "A3B3"));
    });
}
#endif
