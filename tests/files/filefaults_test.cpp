// Saving and loading when the file system or the disk refuses. Saving runs as
// an ordinary user, since root would be let through everywhere.
#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <set>
#include <tuple>

#include "AsUser.h"
#include "Fixture.h"
#include "TempDir.h"
#include "files/FileIo.h"
#include "files/FileIoDetail.h"
#include "settings/Settings.h"

using namespace rvm;
using namespace rvm::test;
namespace fs = std::filesystem;

namespace {

std::string old(const TempDir& d, const std::string& name, mode_t mode) {
    spit(d.file(name), "old");
    ::chmod(d.file(name).c_str(), mode);
    return d.file(name);
}

std::set<std::string> names(const fs::path& dir) {
    std::set<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) out.insert(e.path().filename().string());
    return out;
}

// The copies of decks saved in place that are still kept.
std::set<std::string> copies() { return names(fs::path(std::getenv("XDG_DATA_HOME")) / "ravolin-memorel/saves"); }

const std::string kDenied = "許可がありません", kNotAFile = "通常のファイルではありません",
                  kNotFound = "そのようなファイルやディレクトリはありません", kFolder = "ディレクトリです",
                  kTooLarge = "ファイルが大きすぎます", kDiskFull = "デバイスに空き領域がありません";

// The refusal of a save in place when no copy of the old content can be made.
std::string noCopy(const fs::path& folder, const std::string& why) {
    return "[" + folder.string() + "]には新しいファイルを作れません。このようなフォルダでは、元の内容の控えを[" +
           std::getenv("XDG_DATA_HOME") + "/ravolin-memorel]に作ってから上書きしますが、控えを作れませんでした（" +
           why + "）。\r「名前を付けて保存」で別のフォルダに保存してください。";
}

// "old" or "new" (or "garbled") and the mode of the file at p, or "none".
std::string leftAt(const std::string& p, const std::string& fresh) {
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return "none";
    ::chmod(p.c_str(), 0600);
    const std::string got = slurp(p);
    char mode[8];
    std::snprintf(mode, sizeof mode, " %o", st.st_mode & 0777);
    return (got == "old" ? "old" : got.starts_with(fresh) ? "new" : "garbled") + std::string(mode);
}

}  // namespace

TEST(SaveFaults, RefusedTargetsStayAsTheyWereAndNothingIsLeftBehind) {
    // x.rvm in the folder made read-only; link.rvm to real.rvm
    static const auto ro = [](const TempDir& d) { return ::chmod(d.path.c_str(), 0555), d.file("x.rvm"); };
    static const auto link = [](const TempDir& d) {
        return fs::create_symlink("real.rvm", d.file("link.rvm")), d.file("link.rvm");
    };
    static const auto inPlace = [](const TempDir& d) { return old(d, "x.rvm", 0640), ro(d); };
    struct Case {
        const char* what;
        std::function<std::string(const TempDir&)> target;  // lays out the folder
        bool asked;              // the overwrite question comes first
        std::string error;       // the message; empty when the save succeeds; "no copy: " + why
        std::string holder;      // the file the bytes land in, in the folder
        std::string left;        // then: "old" or "new" and its mode, or "none"
        bool sizeLimit = false;  // the write would pass the file size limit, as on a full disk
        // The user's data folder: no copy can be made there, another save in
        // place of the same file holds its lock, the copies' folder is a link.
        enum { Writable, ReadOnly, Locked, Linked } data = Writable;
    } const cases[] = {
        {"replace keeps the permissions", [](auto& d) { return old(d, "x.rvm", 0600); },
         true, "", "x.rvm", "new 600"},
        {"read-only file", [](auto& d) { return old(d, "x.rvm", 0444); }, true, kDenied, "x.rvm", "old 444"},
        {"unreadable file", [](auto& d) { return old(d, "x.rvm", 0); }, false, kDenied, "x.rvm", "old 0"},
        {"read-only folder, writable file", inPlace, true, "", "x.rvm", "new 640"},
        {"read-only folder, no copy possible", inPlace, true, "no copy: " + kDenied, "x.rvm", "old 640", false,
         Case::ReadOnly},
        {"read-only folder, another save in place", inPlace, true, "busy", "x.rvm", "old 640", false, Case::Locked},
        {"read-only folder, a link for the copies' folder", inPlace, true, "no copy: ディレクトリではありません",
         "x.rvm", "old 640", false, Case::Linked},
        {"read-only folder, write-only file", [](auto& d) { return old(d, "x.rvm", 0200), ro(d); },
         false, "no copy: " + kDenied, "x.rvm", "old 200"},
        {"read-only folder, too large to write", inPlace, true, kTooLarge, "x.rvm", "old 640", true},
        {"read-only folder, new file", [](auto& d) { return ro(d); }, false, kDenied, "x.rvm", "none"},
        {"missing folder", [](auto& d) { return d.file("no/such/x.rvm"); }, false, kNotFound, "no", "none"},
        {"folder", [](auto& d) { return fs::create_directory(d.file("x")), d.file("x"); }, false, kFolder, "", ""},
        {"fifo", [](auto& d) { return ::mkfifo(d.file("x").c_str(), 0644), d.file("x"); },
         false, kNotAFile, "", ""},
        {"device", [](auto&) { return std::string("/dev/null"); }, false, kNotAFile, "", ""},
        {"dangling link", [](auto& d) { return link(d); }, false, "", "real.rvm", "new 644"},
        {"link to a file", [](auto& d) { return old(d, "real.rvm", 0640), link(d); },
         true, "", "real.rvm", "new 640"},
        {"too large to write", [](auto& d) { return old(d, "x.rvm", 0644); },
         true, kTooLarge, "x.rvm", "old 644", true},
    };
    runAsUser([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const std::string big(100000, 'x');
        const fs::path data = std::getenv("XDG_DATA_HOME");
        rlimit size{};
        ::getrlimit(RLIMIT_FSIZE, &size);
        for (const Case& c : cases) {
            for (bool deck : {true, false}) {
                SCOPED_TRACE(std::string(c.what) + (deck ? ", deck" : ", settings"));
                TempDir dir;
                FakeView view;
                FakePrompt prompt;
                Document doc{view, prompt};
                FileCommands files{doc, view, prompt};
                view.te[0] = big;  // the first page's question
                doc.setChanged(true);
                const std::string target = c.target(dir);
                const auto before = names(dir.path);
                const fs::file_type type = fs::symlink_status(target).type();
                size.rlim_cur = c.sizeLimit ? 50000 : size.rlim_max;
                ::setrlimit(RLIMIT_FSIZE, &size);
                const fs::path home = c.data == Case::ReadOnly ? data / "ro" : data;
                fs::create_directory(home);
                ::chmod(home.c_str(), c.data == Case::ReadOnly ? 0555 : 0755);
                ::setenv("XDG_DATA_HOME", home.c_str(), 1);
                detail::SaveBackup other;
                std::string otherError;
                if (c.data == Case::Locked) {
                    ASSERT_TRUE(other.keep(target, "other", otherError)) << otherError;
                }
                if (c.data == Case::Linked) {
                    fs::create_directories(home / "ravolin-memorel");
                    fs::create_directory_symlink(dir.path, home / "ravolin-memorel/saves");
                }
                if (deck) {
                    const bool ok = files.saveDeck(target, true);
                    EXPECT_EQ(std::tuple(ok, files.fileName(), doc.changed()),
                              std::tuple(c.error.empty(), ok ? target : "", !ok));
                } else {
                    WriteSettingsFile(target, Settings{1, big});  // silent whatever happens
                }
                // What the user saw: "?" the overwrite question, "!" an error.
                std::string saw;
                for (const Asked& a : prompt.asked)
                    saw += a.icon == Icon::Question ? "? " : a.icon == Icon::Error ? "! " + a.text : a.text;
                const std::string error =
                    c.error.starts_with("no copy: ") ? noCopy(dir.path, c.error.substr(9))
                    : c.error == "busy" ? "[" + target + "]は、ほかのプログラムが上書き保存しているところです。\r"
                                          "しばらくしてから、もう一度保存してください。"
                    : c.error.empty()   ? ""
                                        : "[" + target + "]に書き込めません（" + c.error + "）。";
                EXPECT_EQ(saw, std::string(deck && c.asked ? "? " : "") + (deck && !error.empty() ? "! " + error : ""));
                EXPECT_EQ(fs::symlink_status(target).type(), type);  // a link stays a link, a FIFO a FIFO
                ::chmod(dir.path.c_str(), 0700);
                const std::string fresh = deck ? "\x1fxxx" : "Hide = 1\r\n";
                EXPECT_EQ(c.holder.empty() ? "" : leftAt(dir.file(c.holder), fresh), c.left);
                for (const auto& n : names(dir.path))
                    EXPECT_TRUE(before.count(n) || n == c.holder) << n << " left behind";
                other.settle(false);
                std::error_code ec;
                fs::remove(home / "ravolin-memorel/saves", ec);
                EXPECT_EQ(copies(), std::set<std::string>{});
            }
        }
    });
}

// Temporary files of a save killed between naming and renaming: those of a
// process that is gone go with the next save into the folder, no other.
TEST(SaveFaults, LeftoversOfADeadSaveGoWithTheNextSave) {
    TempDir dir;
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = ".rvm-save-" + std::to_string(gone) + "-1",
                      living = ".rvm-save-" + std::to_string(::getppid()) + "-1";
    for (const std::string& n : {dead, living, std::string(".rvm-save-x-1"), std::string(".rvm-save-1")})
        spit(dir.file(n), "left");
    std::string error;
    ASSERT_TRUE(WriteFileAtomic(dir.file("x.rvm"), "new", error)) << error;
    EXPECT_EQ(names(dir.path), (std::set<std::string>{living, ".rvm-save-x-1", ".rvm-save-1", "x.rvm"}));
}

// A disk with no room for the new deck fails the save before a byte of the
// old one changes, in a folder that takes new files and in one that does not.
TEST(SaveFaults, AFullDiskKeepsTheOldDeck) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small disk needs root";
    TempDir disk;
    ASSERT_EQ(::mount("tmpfs", disk.path.c_str(), "tmpfs", 0, "size=256k,mode=0777"), 0) << std::strerror(errno);
    runAsUser([&] {
        const fs::path folder = disk.path / "decks", deck = folder / "deck.rvm";
        const std::string oldDeck(100000, 'o');
        // The folder read-only, the copies of decks on the full disk too.
        for (const auto& [readOnly, copiesThere] : {std::pair(false, false), {true, false}, {true, true}}) {
            SCOPED_TRACE(std::to_string(readOnly) + std::to_string(copiesThere));
            fs::create_directory(folder);
            spit(deck, oldDeck);
            if (copiesThere) ::setenv("XDG_DATA_HOME", (disk.path / "data").c_str(), 1);
            std::ofstream filler(disk.path / "filler", std::ios::binary);
            for (const std::string block(4096, 'f'); filler.write(block.data(), block.size());) {}
            filler.close();
            ::chmod(folder.c_str(), readOnly ? 0555 : 0755);
            std::string error;
            EXPECT_FALSE(WriteFileAtomic(deck, std::string(200000, 'n'), error));
            EXPECT_EQ(error, copiesThere ? noCopy(folder, kDiskFull) : kDiskFull);
            EXPECT_TRUE(slurp(deck) == oldDeck);
            EXPECT_EQ(names(folder), std::set<std::string>{"deck.rvm"});
            EXPECT_EQ(copies(), std::set<std::string>{});
            ::chmod(folder.c_str(), 0755);
            for (const char* n : {"filler", "data", "decks"}) fs::remove_all(disk.path / n);
        }
    });
    EXPECT_EQ(::umount(disk.path.c_str()), 0);
}

using LoadFaults = DocFixture;

// What a save in place cut off half-way leaves, and what Open then offers:
// the copy of the old deck while the deck holds neither the old nor the new
// content and no save has finished since. A copy or note that does not
// match is told and kept; no answer ever deletes a copy.
TEST_F(LoadFaults, ACutOffSaveOffersTheOldDeckBack) {
    TempDir dir, data;
    ::setenv("XDG_DATA_HOME", data.path.c_str(), 1);
    const fs::path saves = data.path / "ravolin-memorel/saves";
    const std::string deck = dir.file("deck.rvm"), v1 = "\x1fv1\r\n\x1f\r\n\x1f" "0\r\n",
                      v2 = "\x1fv2\r\n\x1f\r\n\x1f" "0\r\n", cut = "\x1fv", other = "\x1fv9\r\n\x1f\r\n\x1f" "0\r\n";
    const auto first = [&](const char* ext) {
        for (const auto& e : fs::directory_iterator(saves))
            if (e.path().extension() == ext) return e.path();
        return fs::path();
    };
    const auto tamper = [&](const char* ext, std::string bytes) {
        return [&, ext, bytes] { bytes.empty() && ext[1] == 'r' ? void(fs::remove(first(ext))) : spit(first(ext), bytes); };
    };
    // Each step: the deck's content, then a save in place of the second
    // (cut off at once), or with "!" a save that finishes, or none.
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> steps;
        std::function<void()> change;
        std::string offered;  // the question's start and the copy's content, or the message, or ""
    } rows[] = {
        {"cut off half-way", {{v1, v2}, {cut, ""}}, {}, "保存する前の内容を開きますか？" + v1},
        {"cut off before the first byte", {{v1, v2}, {v1, ""}}, {}, ""},
        {"cut off after the last byte", {{v1, v2}, {v2, ""}}, {}, ""},
        {"the remains saved over, cut off again", {{v1, v2}, {cut, "\x1fv3"}, {"\x1f", ""}}, {}, "保存する前の内容を開きますか？" + v1},
        {"a whole deck saved, then cut off", {{v1, v2}, {v2, "\x1fv3"}, {cut, ""}}, {}, "保存する前の内容を開きますか？" + v2},
        {"cut off, then a save that finishes", {{v1, v2}, {cut, "!\x1fv3"}}, {}, ""},
        {"copy one byte changed", {{v1, v2}, {cut, ""}}, tamper(".rvm", other), "傷んでいるかもしれません。" + other},
        {"copy gone", {{v1, v2}, {cut, ""}}, tamper(".rvm", ""), "保存する前の内容の控えを読めません。"},
        {"note empty", {{v1, v2}, {cut, ""}}, tamper(".note", ""), "分かりません。\r" + v1},
        {"note binary", {{v1, v2}, {cut, ""}}, tamper(".note", std::string("\0\xff\x1f", 3)), "分かりません。\r" + v1},
        {"note huge", {{v1, v2}, {cut, ""}}, tamper(".note", std::string(1 << 17, '1')), "分かりません。\r" + v1},
        {"note naming another file", {{v1, v2}, {cut, ""}}, tamper(".note", "1 0\n1 0\n/elsewhere.rvm"),
         "分かりません。\r" + v1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        for (const auto& [content, save] : r.steps) {
            spit(deck, content);
            std::string error;
            if (save.starts_with('!')) {
                ASSERT_TRUE(WriteFileAtomic(deck, save.substr(1), error)) << error;
            } else if (!save.empty()) {
                ASSERT_TRUE(detail::SaveBackup().keep(deck, save, error)) << error;
            }
        }
        if (r.change) r.change();
        const std::set<std::string> kept = copies();
        // No first: the deck as it is, the copies kept, the same asked again.
        for (Answer a : {Answer::No, Answer::Yes}) {
            prompt.asked.clear();
            prompt.answers = {a};
            files.loadDeck(deck);
            const std::string told = prompt.asked.empty() ? "" : prompt.asked[0].text;
            const std::size_t split = r.offered.find('\x1f');
            EXPECT_NE(told.find(r.offered.substr(0, split)), std::string::npos) << told;
            if (split != std::string::npos && a == Answer::Yes) {
                EXPECT_EQ(std::tie(doc.deck().pages[0].question, files.fileName()),
                          std::tuple(r.offered.substr(split + 1, 2), deck));
            }
            EXPECT_EQ(copies(), r.offered.empty() ? std::set<std::string>{} : kept);
        }
        fs::remove_all(saves);
    }
    ::unsetenv("XDG_DATA_HOME");
}


// Files that cannot be loaded: each is told at once with its own message,
// never a hang or a crash, and the deck in memory stays exactly as it was.
TEST_F(LoadFaults, AreToldAtOnceAndChangeNothing) {
    TempDir dir;
    const std::string notADeck = "適当な *.rvm ファイルでありません。";
    const std::string tooLarge = "ファイルが大きすぎます。";
    const std::string missing = dir.file("missing.rvm");
    // A failure to lay out a file shows as the wrong message.
    const std::string f = dir.file("f");
    auto file = [&](std::string bytes) { return [&f, bytes] { return spit(f, bytes), f; }; };
    auto sparse = [&](off_t size) {
        return [&f, size] { return spit(f, ""), std::filesystem::resize_file(f, size), f; };
    };
    struct Row {
        const char* what;
        std::function<std::string()> path;
        std::string text;
        Icon icon = Icon::Error;
    };
    const Row rows[] = {
        {"missing file", [&] { return missing; }, "[" + missing + "]が見つかりません。", Icon::None},
        {"missing folder", [&] { return dir.file("no/x.rvm"); }, kNotFound},
        {"folder", [&] { return dir.path.string(); }, kFolder},
        {"FIFO without a writer", [&] { return ::mkfifo(dir.file("fifo").c_str(), 0600), dir.file("fifo"); },
         kNotAFile},
        {"empty device", [] { return std::string("/dev/null"); }, kNotAFile},
        {"endless device", [] { return std::string("/dev/zero"); }, kNotAFile},
        // An error without words of the program's own: the system's Japanese catalogue.
        {"link to itself", [&] { return fs::create_symlink("loop", dir.file("loop")), dir.file("loop"); },
         "シンボリックリンクの階層が多すぎます"},
        {"40 GB", sparse(off_t{40} << 30), tooLarge},
        {"1 GiB and a byte", sparse((off_t{1} << 30) + 1), tooLarge},
        {"1 GiB of zeros", sparse(off_t{1} << 30), notADeck},
        {"empty", file(""), notADeck},
        {"two records", file("\x1f" "a\r\n\x1f" "b\r\n"), notADeck},
        {"order 1 and 01",
         file("\x1f" "a\r\n\x1f" "b\r\n\x1f" "1\r\n\x1f" "c\r\n\x1f" "d\r\n\x1f" "01\r\n"), notADeck},
        {"order past the end", file("\x1f" "a\r\n\x1f" "b\r\n\x1f" "5\r\n"), notADeck},
        {"negative order", file("\x1f" "a\r\n\x1f" "b\r\n\x1f" "-1\r\n"), notADeck},
        {"order no whole number", file("\x1f" "a\r\n\x1f" "b\r\n\x1f" "0.5\r\n"), notADeck},
        {"order too large to hold", file("\x1f" "a\r\n\x1f" "b\r\n\x1f" "1e999\r\n"), notADeck},
        {"first line no record", file("junk\r\n\x1f" "a\r\n\x1f" "b\r\n\x1f" "0\r\n"), notADeck},
    };
    deck({"keep", "this"}, {1, 0});
    edits.insertBlankPage();  // something to undo
    files.setFileName("/old.rvm");
    doc.setChanged(true);
    auto state = [&] {
        return std::tuple(questions(), answers(), doc.deck().displayOrder, view.te[0], files.fileName(), doc.changed(),
                          doc.canUndo());
    };
    const auto before = state();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        prompt.asked.clear();
        const std::string path = r.path();
        EXPECT_FALSE(files.loadDeck(path));
        ASSERT_EQ(prompt.asked.size(), 1u);
        // The system's words come with the file's name.
        const std::string text = r.text.ends_with("。") ? r.text : "[" + path + "]を読めません（" + r.text + "）。";
        EXPECT_EQ(std::tuple(prompt.asked[0].text, prompt.asked[0].icon, prompt.asked[0].buttons),
                  std::tuple(text, r.icon, Buttons::Ok));
        EXPECT_EQ(state(), before);
    }
}
