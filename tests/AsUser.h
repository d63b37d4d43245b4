// Permission cases run as an ordinary user, since root is let through everywhere.
#pragma once

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>

#include "TempDir.h"

namespace rvm::test {

// Runs body in a child process as an ordinary user (one made for the tests
// when we are root); its failures come back through the exit status.
inline void runAsUser(const std::function<void()>& body) {
    const passwd* pw = nullptr;
    if (::geteuid() == 0) {
        const int rc = ::getpwnam("rvmtest") ? 0 : std::system("useradd --system --no-create-home rvmtest");
        ASSERT_NE(pw = ::getpwnam("rvmtest"), nullptr) << "useradd gave " << rc;
    }
    std::fflush(stdout);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::alarm(60);  // a hang fails the test instead of blocking it
        if (pw && (::setgroups(0, nullptr) != 0 || ::setgid(pw->pw_gid) != 0 || ::setuid(pw->pw_uid) != 0))
            ::_exit(3);
        ::setenv("TMPDIR", "/tmp", 1);
        ::umask(022);
        {
            const TempDir data;  // the user's own data folder, for copies of decks saved in place
            ::setenv("XDG_DATA_HOME", data.path.c_str(), 1);
            body();
        }
        std::fflush(stdout);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(status, 0) << "the child failed";
}

}  // namespace rvm::test
