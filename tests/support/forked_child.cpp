#include "support/forked_child.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace zmr::testing {
namespace {

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) {
    return WEXITSTATUS(status);
  }
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

int Reap(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  return ExitCodeOf(status);
}

}  // namespace

int RunInChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    int code = 99;
    try {
      code = body();
    } catch (...) {
    }
    ::_exit(code);
  }
  return pid < 0 ? -1 : Reap(pid);
}

int RunAsUnprivileged(const std::function<int()>& body) {
  return RunInChild([&] {
    if (::setgroups(0, nullptr) != 0 && ::geteuid() == 0) {
      return 98;
    }
    if (::setgid(kUnprivilegedGid) != 0 || ::setuid(kUnprivilegedUid) != 0) {
      return 98;
    }
    return body();
  });
}

pid_t StartChild(const std::function<void()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    try {
      body();
    } catch (...) {
    }
    ::_exit(0);
  }
  return pid;
}

bool KillAndReap(pid_t pid) {
  ::kill(pid, SIGKILL);
  return Reap(pid) == 128 + SIGKILL;
}

}  // namespace zmr::testing
