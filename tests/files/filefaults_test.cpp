// Saving and loading when the file system or the disk refuses. Saving runs as
// an ordinary user, since root would be let through everywhere.
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
    for (const auto& e : fs::directory_iterator(dir)) out.insert(e.path().filename().string());
    return out;
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
    const std::string denied = "Permission denied", notSupported = "Operation not supported";
    // x.rvm in the folder made read-only; link.rvm to real.rvm
    static const auto ro = [](const TempDir& d) { return ::chmod(d.path.c_str(), 0555), d.file("x.rvm"); };
    static const auto link = [](const TempDir& d) {
        return fs::create_symlink("real.rvm", d.file("link.rvm")), d.file("link.rvm");
    };
    struct Case {
        const char* what;
        std::function<std::string(const TempDir&)> target;  // lays out the folder
        bool asked;              // the overwrite question comes first
        std::string error;       // the message; empty when the save succeeds
        std::string holder;      // the file the bytes land in, in the folder
        std::string left;        // then: "old" or "new" and its mode, or "none"
        bool sizeLimit = false;  // the write fails half-way, as on a full disk
    } const cases[] = {
        {"replace keeps the permissions", [](auto& d) { return old(d, "x.rvm", 0600); },
         true, "", "x.rvm", "new 600"},
        {"read-only file", [](auto& d) { return old(d, "x.rvm", 0444); }, true, denied, "x.rvm", "old 444"},
        {"unreadable file", [](auto& d) { return old(d, "x.rvm", 0); }, false, denied, "x.rvm", "old 0"},
        {"read-only folder, writable file", [](auto& d) { return old(d, "x.rvm", 0640), ro(d); },
         true, "", "x.rvm", "new 640"},
        {"read-only folder, new file", [](auto& d) { return ro(d); }, false, denied, "x.rvm", "none"},
        {"missing folder", [](auto& d) { return d.file("no/such/x.rvm"); },
         false, "No such file or directory", "no", "none"},
        {"folder", [](auto& d) { return fs::create_directory(d.file("x")), d.file("x"); },
         false, "Is a directory", "", ""},
        {"fifo", [](auto& d) { return ::mkfifo(d.file("x").c_str(), 0644), d.file("x"); },
         false, notSupported, "", ""},
        {"device", [](auto&) { return std::string("/dev/null"); }, false, notSupported, "", ""},
        {"dangling link", [](auto& d) { return link(d); }, false, "", "real.rvm", "new 644"},
        {"link to a file", [](auto& d) { return old(d, "real.rvm", 0640), link(d); },
         true, "", "real.rvm", "new 640"},
        {"write fails half-way", [](auto& d) { return old(d, "x.rvm", 0644); },
         true, "File too large", "x.rvm", "old 644", true},
    };
    runAsUser([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const std::string big(100000, 'x');
        rlimit size{};
        ::getrlimit(RLIMIT_FSIZE, &size);
        for (const Case& c : cases) {
            for (bool deck : {true, false}) {
                SCOPED_TRACE(std::string(c.what) + (deck ? ", deck" : ", settings"));
                TempDir dir;
                FakeView view;
                FakePrompt prompt;
                Document doc{view, prompt};
                view.te[0] = big;  // the first page's question
                doc.helpBrowser = big;
                doc.setChanged(true);
                const std::string target = c.target(dir);
                const auto before = names(dir.path);
                const fs::file_type type = fs::symlink_status(target).type();
                size.rlim_cur = c.sizeLimit ? 50000 : size.rlim_max;
                ::setrlimit(RLIMIT_FSIZE, &size);
                if (deck) {
                    const bool ok = doc.saveDeck(target, true);
                    EXPECT_EQ(std::tuple(ok, doc.fileName, doc.changed),
                              std::tuple(c.error.empty(), ok ? target : "", !ok));
                } else {
                    doc.settingsPath = target;
                    doc.writeSettingsAndEnd();  // silent whatever happens
                    EXPECT_TRUE(view.ended);
                }
                // What the user saw: "?" the overwrite question, "!" an error.
                std::string saw;
                for (const Asked& a : prompt.asked)
                    saw += a.icon == Icon::Question ? "? " : a.icon == Icon::Error ? "! " + a.text : a.text;
                EXPECT_EQ(saw, std::string(deck && c.asked ? "? " : "") +
                                   (deck && !c.error.empty() ? "! " + c.error : ""));
                EXPECT_EQ(fs::symlink_status(target).type(), type);  // a link stays a link, a FIFO a FIFO
                ::chmod(dir.path.c_str(), 0700);
                const std::string fresh = deck ? "\x1fxxx" : "Hide = 1\r\n";
                EXPECT_EQ(c.holder.empty() ? "" : leftAt(dir.file(c.holder), fresh), c.left);
                for (const auto& n : names(dir.path))
                    EXPECT_TRUE(before.count(n) || n == c.holder) << n << " left behind";
            }
        }
    });
}

using LoadFaults = DocFixture;

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
        {"missing folder", [&] { return dir.file("no/x.rvm"); }, std::strerror(ENOENT)},
        {"folder", [&] { return dir.path.string(); }, std::strerror(EISDIR)},
        {"FIFO without a writer", [&] { return ::mkfifo(dir.file("fifo").c_str(), 0600), dir.file("fifo"); },
         std::strerror(ENOTSUP)},
        {"empty device", [] { return std::string("/dev/null"); }, std::strerror(ENOTSUP)},
        {"endless device", [] { return std::string("/dev/zero"); }, std::strerror(ENOTSUP)},
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
    doc.undoSnapshot = doc.deck;
    doc.setFileName("/old.rvm");
    doc.setChanged(true);
    auto state = [&] {
        return std::tuple(questions(), answers(), doc.deck.displayOrder, view.te[0], doc.fileName, doc.changed,
                          doc.undoSnapshot.has_value());
    };
    const auto before = state();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        prompt.asked.clear();
        EXPECT_FALSE(doc.loadDeck(r.path()));
        ASSERT_EQ(prompt.asked.size(), 1u);
        EXPECT_EQ(std::tuple(prompt.asked[0].text, prompt.asked[0].icon, prompt.asked[0].buttons),
                  std::tuple(r.text, r.icon, Buttons::Ok));
        EXPECT_EQ(state(), before);
    }
}
