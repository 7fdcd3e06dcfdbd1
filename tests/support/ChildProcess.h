// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>
#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace taonscope::test {

/// Exit status of RunInChild for a child that had to be killed after its time ran out.
inline constexpr int ChildTimedOut = -1;

/// Runs body in a forked child and returns the status it exits with: ChildTimedOut when it has not
/// ended after timeoutMs (it is killed), 128 + the signal when a signal ended it, 126 when body threw.
/// A body that would hang or crash therefore fails a test instead of the test program.
inline int RunInChild(const std::function<int()>& body, int timeoutMs = 10000) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int status = 126;
        try {
            status = body();
        } catch (...) {
        }
        ::_exit(status);
    }
    int status = 0;
    for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; waited += 5) {
        if (waited >= timeoutMs) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return ChildTimedOut;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

/// The user and group an unprivileged body runs as when the tests run as root (nobody, nogroup).
inline constexpr uid_t OrdinaryUser = 65534;
inline constexpr gid_t OrdinaryGroup = 65534;

/// RunInChild as an ordinary user: as root the child first drops to OrdinaryUser, so that file
/// permissions bind it; otherwise it runs as the user the tests run as.
inline int RunAsOrdinaryUser(const std::function<int()>& body, int timeoutMs = 10000) {
    return RunInChild(
        [&] {
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 ||
                                     ::setresgid(OrdinaryGroup, OrdinaryGroup, OrdinaryGroup) != 0 ||
                                     ::setresuid(OrdinaryUser, OrdinaryUser, OrdinaryUser) != 0))
                return 125;
            return body();
        },
        timeoutMs);
}

} // namespace taonscope::test
