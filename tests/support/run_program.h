// Runs programs with an argument list (no shell): to the end collecting the standard output,
// or in the background for as long as the test needs them.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tunevale::test {

struct TRunOptions {
  // Environment variables set for the program, on top of the test's own.
  std::vector<std::pair<std::string, std::string>> Env;
  // Called with each line of output (without its end) as it arrives, until it returns false.
  std::function<bool(const std::string&)> OnLine;
};

// Returns the standard output; `status` is the exit status, or -1 when the
// program did not end normally.
inline std::string RunProgram(const std::string& program, const std::vector<std::string>& args, int& status,
                              TRunOptions options = {}) {
  status = -1;
  int out[2];
  if (pipe(out) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    for (const auto& [name, value] : options.Env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  std::string text;
  size_t lineStart = 0;
  char buf[4096];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) {
    text.append(buf, static_cast<size_t>(n));
    for (size_t end; options.OnLine && (end = text.find('\n', lineStart)) != std::string::npos;) {
      if (!options.OnLine(text.substr(lineStart, end - lineStart))) options.OnLine = nullptr;
      lineStart = end + 1;
    }
  }
  close(out[0]);
  int raw = 0;
  if (pid > 0 && waitpid(pid, &raw, 0) == pid && WIFEXITED(raw)) status = WEXITSTATUS(raw);
  return text;
}

// Polls `done` for up to `guardMs`: a guard against hanging, not a measure.
template <class F>
bool WaitFor(F done, int guardMs = 20000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(guardMs);
  for (; !done(); std::this_thread::sleep_for(std::chrono::milliseconds(50)))
    if (std::chrono::steady_clock::now() > end) return false;
  return true;
}

// A program started with extra environment ("NAME=value"), its output appended
// to `log`; killed when destroyed.
class TChild {
 public:
  TChild(const std::string& program, std::vector<std::string> args, const std::vector<std::string>& env = {},
         const std::string& log = "/dev/null") {
    if ((Pid = fork()) != 0) return;
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    dup2(out, 1), dup2(out, 2);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  ~TChild() { Stop(SIGKILL); }

  pid_t ProcessId() const { return Pid; }

  // Sends `signo` and waits for the end: the exit status, -1 when abnormal or late.
  int Stop(int signo = SIGTERM) {
    int raw = -1;
    if (Pid <= 0 || kill(Pid, signo) != 0 || !WaitFor([&] { return waitpid(Pid, &raw, WNOHANG) == Pid; }))
      return -1;
    Pid = -1;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

 private:
  pid_t Pid = -1;
};

}  // namespace tunevale::test
