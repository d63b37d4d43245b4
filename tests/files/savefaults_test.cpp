// Saving the deck and the settings when the target or the disk refuses:
// run as an ordinary user, since root would be let through everywhere.
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "FakeUi.h"
#include "TempDir.h"
#include "deck/Document.h"

using namespace rvm;
using namespace rvm::test;
namespace fs = std::filesystem;

namespace {

// Runs body in a child process as an ordinary user (one made for the tests
// when we are root); its failures come back through the exit status.
void runAsUser(const std::function<void()>& body) {
    uid_t uid = ::getuid();
    gid_t gid = ::getgid();
    if (::geteuid() == 0) {
        int rc = 0;
        if (!::getpwnam("rvmtest"))
            rc = std::system("useradd --system --no-create-home --shell /usr/sbin/nologin rvmtest");
        const passwd* pw = ::getpwnam("rvmtest");
        ASSERT_NE(pw, nullptr) << "useradd gave " << rc;
        uid = pw->pw_uid;
        gid = pw->pw_gid;
    }
    std::fflush(stdout);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::alarm(60);  // a hang fails the test instead of blocking it
        if (::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(3);
            ::setenv("TMPDIR", "/tmp", 1);
        }
        ::umask(022);
        body();
        std::fflush(stdout);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
}

std::string old(const TempDir& d, const std::string& name, mode_t mode) {
    spit(d.file(name), "old");
    ::chmod(d.file(name).c_str(), mode);
    return d.file(name);
}

// The folder made read-only, for a target in it.
std::string ro(const TempDir& d, const std::string& target) {
    ::chmod(d.path.c_str(), 0555);
    return target;
}

std::string link(const TempDir& d, const std::string& to) {
    fs::create_symlink(to, d.file("link.rvm"));
    return d.file("link.rvm");
}

std::set<std::string> names(const fs::path& dir) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.insert(e.path().filename().string());
    return out;
}

mode_t typeOf(const std::string& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

struct Case {
    const char* what;
    std::function<std::string(const TempDir&)> target;  // lays out the folder
    bool asked;              // the overwrite question comes first
    std::string error;       // the message; empty when the save succeeds
    std::string holder;      // the file the bytes land in, in the folder
    std::string left;        // then: "old" or "new" and its mode, or "none"
    bool sizeLimit = false;  // the write fails half-way, as on a full disk
};

}  // namespace

TEST(SaveFaults, RefusedTargetsStayAsTheyWereAndNothingIsLeftBehind) {
    const std::string denied = "Permission denied", notSupported = "Operation not supported";
    const std::vector<Case> cases = {
        {"replace keeps the permissions", [](auto& d) { return old(d, "x.rvm", 0600); },
         true, "", "x.rvm", "new 600"},
        {"read-only file", [](auto& d) { return old(d, "x.rvm", 0444); },
         true, denied, "x.rvm", "old 444"},
        {"unreadable file", [](auto& d) { return old(d, "x.rvm", 0); },
         false, denied, "x.rvm", "old 0"},
        {"read-only folder, writable file", [](auto& d) { return ro(d, old(d, "x.rvm", 0640)); },
         true, "", "x.rvm", "new 640"},
        {"read-only folder, new file", [](auto& d) { return ro(d, d.file("x.rvm")); },
         false, denied, "x.rvm", "none"},
        {"missing folder", [](auto& d) { return d.file("no/such/x.rvm"); },
         false, "No such file or directory", "no", "none"},
        {"folder", [](auto& d) { return fs::create_directory(d.file("x")), d.file("x"); },
         false, "Is a directory", "", ""},
        {"fifo", [](auto& d) { return ::mkfifo(d.file("x").c_str(), 0644), d.file("x"); },
         false, notSupported, "", ""},
        {"device", [](auto&) { return std::string("/dev/null"); }, false, notSupported, "", ""},
        {"dangling link", [](auto& d) { return link(d, "real.rvm"); },
         false, "", "real.rvm", "new 644"},
        {"link to a file", [](auto& d) { return link(d, old(d, "real.rvm", 0640)); },
         true, "", "real.rvm", "new 640"},
        {"write fails half-way", [](auto& d) { return old(d, "x.rvm", 0644); },
         true, "File too large", "x.rvm", "old 644", true},
    };
    runAsUser([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const std::string big(100000, 'x');
        for (const Case& c : cases) {
            for (bool deck : {true, false}) {
                SCOPED_TRACE(std::string(c.what) + (deck ? ", deck" : ", settings"));
                TempDir dir;
                FakeView view;
                FakePrompt prompt;
                Document doc{view, prompt};
                doc.List1 = {big};
                doc.List2 = {"a"};
                doc.List3 = {0};
                doc.CallTh(0, false, false, false);
                doc.IEPlace = big;
                doc.SetChanged(true);
                const std::string target = c.target(dir);
                const auto before = names(dir.path);
                const mode_t type = typeOf(target);

                rlimit saved{};
                ::getrlimit(RLIMIT_FSIZE, &saved);
                if (c.sizeLimit) {
                    rlimit small = saved;
                    small.rlim_cur = 50000;
                    ::setrlimit(RLIMIT_FSIZE, &small);
                }
                bool ok = true;
                if (deck) {
                    ok = doc.SaveW(target, true);
                } else {
                    doc.SettingsPath = target;
                    doc.SaveIniAndEnd();  // silent whatever happens
                    EXPECT_TRUE(view.ended);
                }
                ::setrlimit(RLIMIT_FSIZE, &saved);

                // What the user saw: "?" the overwrite question, "!" an error.
                std::string saw, expected;
                for (const Asked& a : prompt.asked)
                    saw += a.icon == Icon::Question ? "? "
                           : a.icon == Icon::Error  ? "! " + a.text
                                                    : a.text;
                if (deck && c.asked) expected += "? ";
                if (deck && !c.error.empty()) expected += "! " + c.error;
                EXPECT_EQ(saw, expected);
                if (deck) {
                    EXPECT_EQ(ok, c.error.empty());
                    EXPECT_EQ(doc.FileName, ok ? target : "");
                    EXPECT_EQ(doc.Changed, !ok);
                }
                EXPECT_EQ(typeOf(target), type);  // a link stays a link, a FIFO a FIFO
                ::chmod(dir.path.c_str(), 0700);
                if (!c.holder.empty()) {
                    const std::string h = dir.file(c.holder);
                    struct stat st {};
                    std::string left = "none";
                    if (::stat(h.c_str(), &st) == 0) {
                        ::chmod(h.c_str(), 0600);
                        const std::string got = slurp(h);
                        const bool fresh = got.rfind(deck ? "\x1fxxx" : "Hide = 1\r\n", 0) == 0;
                        left = got == "old" ? "old" : fresh ? "new" : "garbled";
                        std::ostringstream mode;
                        mode << std::oct << (st.st_mode & 0777);
                        left += " " + mode.str();
                    }
                    EXPECT_EQ(left, c.left);
                }
                for (const auto& n : names(dir.path))
                    EXPECT_TRUE(before.count(n) || n == c.holder) << n << " left behind";
            }
        }
    });
}
