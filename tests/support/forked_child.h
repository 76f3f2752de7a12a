#pragma once
// Runs a piece of the test in a forked child: as another user (tests run as root in CI,
// and root passes every permission check), or to kill it at a chosen moment.
#include <sys/types.h>

#include <functional>

namespace zmr::testing {

// The uid and gid an unprivileged child takes ("nobody" on Debian).
inline constexpr uid_t kUnprivilegedUid = 65534;
inline constexpr gid_t kUnprivilegedGid = 65534;

// Forks, runs body in the child and returns its exit code (body's result), or 128 + the
// signal that ended it. An exception in body gives exit code 99.
int RunInChild(const std::function<int()>& body);
// The same, as the unprivileged user; exit code 98 when the switch failed.
int RunAsUnprivileged(const std::function<int()>& body);

// Forks a child that runs body; the caller kills and reaps it.
pid_t StartChild(const std::function<void()>& body);
// SIGKILLs the child (if still running) and reaps it; true when the kill ended it.
bool KillAndReap(pid_t pid);

}  // namespace zmr::testing
