// POSIX side of the tests' set-up helpers.
#include "support/test_support.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/posix/posix_path.h"

extern char** environ;

namespace test_support {

void SetReadOnly(const std::string& path, bool readOnly) {
  const std::string p = posix::NativePath(path);
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) return;
  const mode_t writable = S_IWUSR | S_IWGRP | S_IWOTH;
  ::chmod(p.c_str(), readOnly ? (st.st_mode & ~writable) : (st.st_mode | S_IWUSR));
}

bool MakeLink(const std::string& target, const std::string& link, bool) {
  return ::symlink(posix::NativePath(target).c_str(), posix::NativePath(link).c_str()) == 0;
}

void RemoveLinks(const std::vector<std::string>& links) {
  for (const std::string& link : links) ::unlink(posix::NativePath(link).c_str());
}

bool ShowsAsLink(const std::string& path) {
  struct stat st {};
  return ::lstat(posix::NativePath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::optional<std::string> ProcessVariable(const std::string& name) {
  const char* value = ::getenv(name.c_str());
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void SetProcessVariable(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void UnsetProcessVariable(const std::string& name) {
  ::unsetenv(name.c_str());
}

std::vector<long> RunTogether(const std::string& program, const std::vector<std::string>& texts,
                              unsigned timeoutMs) {
  std::vector<long> codes(texts.size(), kDidNotStart);
  std::vector<pid_t> pids(texts.size(), 0);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::string argv0 = program, arg = texts[i];
    char* argv[] = {argv0.data(), arg.data(), nullptr};
    if (::posix_spawn(&pids[i], program.c_str(), nullptr, nullptr, argv, environ) != 0)
      pids[i] = 0;
    else
      codes[i] = kStillRunning;
  }
  timespec start{};
  ::clock_gettime(CLOCK_MONOTONIC, &start);
  for (;;) {
    bool running = false;
    for (std::size_t i = 0; i < pids.size(); ++i) {
      if (codes[i] != kStillRunning) continue;
      int status = 0;
      const pid_t r = ::waitpid(pids[i], &status, WNOHANG);
      if (r == pids[i])
        codes[i] = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      else
        running = true;
    }
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const long long elapsedMs =
        (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000;
    if (!running) break;
    if (elapsedMs >= timeoutMs) {
      for (std::size_t i = 0; i < pids.size(); ++i) {
        if (codes[i] != kStillRunning) continue;
        ::kill(pids[i], SIGKILL);
        ::waitpid(pids[i], nullptr, 0);
      }
      break;
    }
    timespec pause{0, 5 * 1000000L};
    ::nanosleep(&pause, nullptr);
  }
  return codes;
}

}  // namespace test_support
