#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

extern char** environ;

namespace zmr::testing {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const int failed = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (failed != 0) {
    close(pipe_fds[0]);
    throw std::runtime_error("cannot start " + program);
  }
  out_ = pipe_fds[0];
}

ChildProcess::~ChildProcess() {
  finish(true, 2000);
  close(out_);
}

void ChildProcess::signal(int signal) const {
  if (pid_ > 0) kill(pid_, signal);
}

bool ChildProcess::readSome(int timeout_ms) {
  pollfd fd{out_, POLLIN, 0};
  if (poll(&fd, 1, timeout_ms) <= 0) return false;
  char buffer[4096];
  const ssize_t got = read(out_, buffer, sizeof buffer);
  if (got <= 0) {
    eof_ = true;
    return false;
  }
  partial_.append(buffer, static_cast<std::size_t>(got));
  for (std::size_t end; (end = partial_.find('\n')) != std::string::npos;) {
    lines_.push_back(partial_.substr(0, end));
    partial_.erase(0, end + 1);
  }
  return true;
}

void ChildProcess::discardOutput() {
  while (readSome(0)) {
  }
  lines_.clear();
}

std::string ChildProcess::waitForLine(const std::string& text, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  std::size_t checked = 0;
  for (;;) {
    for (; checked < lines_.size(); ++checked) {
      if (lines_[checked].find(text) != std::string::npos) return lines_[checked];
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (eof_ || left.count() <= 0) return {};
    readSome(static_cast<int>(left.count()));
  }
}

int ChildProcess::finish(bool terminate, int timeout_ms) {
  if (pid_ <= 0) return 0;
  if (terminate) kill(pid_, SIGTERM);
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      pid_ = -1;
      return -1;
    }
    if (eof_) {
      pollfd none{-1, 0, 0};
      poll(&none, 1, 5);  // output closed: the child is on its way out
    } else {
      readSome(10);  // keep the pipe drained so the child can finish writing
    }
  }
  while (!eof_ && readSome(0)) {
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ZmrsimProcess::ZmrsimProcess(const std::string& program, const std::vector<std::string>& args)
    : ChildProcess(program, args) {
  device_ = waitForLine("/", 5000);
  if (device_.empty()) throw std::runtime_error("zmrsim did not report its device");
}

}  // namespace zmr::testing
