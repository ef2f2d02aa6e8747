// A private X server for tests of real windows. Xvfb picks a free display
// itself (-displayfd), so parallel runs never collide; a window manager can
// be added for frames and placement as a desktop has them.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/run_program.h"

namespace tunevale::test {

// A program started with an argument list and extra environment ("NAME=value"),
// its output appended to `log` (else dropped); killed and reaped when destroyed.
class TChild {
 public:
  TChild(const std::string& program, const std::vector<std::string>& args,
         const std::vector<std::string>& env = {}, const std::string& log = "/dev/null") {
    Pid = fork();
    if (Pid != 0) return;
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    dup2(out, 1);
    dup2(out, 2);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  ~TChild() { Stop(SIGKILL); }
  TChild(const TChild&) = delete;
  TChild& operator=(const TChild&) = delete;

  // Sends `signo` and waits up to `limitMs` for the end: the exit status, or -1
  // when it did not end normally or in time.
  int Stop(int signo = SIGTERM, int limitMs = 30000) {
    if (Pid <= 0) return -1;
    kill(Pid, signo);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    int raw = 0;
    while (waitpid(Pid, &raw, WNOHANG) != Pid) {
      if (std::chrono::steady_clock::now() > end) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Pid = -1;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

 private:
  pid_t Pid = -1;
};

// Polls `done` every 50 ms for up to `guardMs`; a guard against hanging, not a measure.
template <class F>
bool WaitFor(F done, int guardMs = 20000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(guardMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

class TXvfb {
 public:
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 800;

  TXvfb() {
    int fds[2];
    if (pipe(fds) != 0) return;
    Server = std::make_unique<TChild>(
        "/usr/bin/Xvfb",
        std::vector<std::string>{"-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24", "-nolisten",
                                 "tcp"});
    close(fds[1]);
    // The server writes its display number once it accepts clients.
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) return;
    Name = ":" + number;
    // Usable once a client gets its answers.
    if (!WaitFor([&] { return !Run("/usr/bin/xdotool", {"getdisplaygeometry"}).empty(); })) Name.clear();
  }

  bool Available() const { return !Name.empty(); }
  // ":N", for DISPLAY.
  const std::string& Display() const { return Name; }
  std::string DisplayEnv() const { return "DISPLAY=" + Name; }

  // Starts openbox and waits until it manages windows.
  bool StartWindowManager(const std::string& readyMarker) {
    Manager = std::make_unique<TChild>(
        "/usr/bin/openbox", std::vector<std::string>{"--sm-disable", "--startup", "touch " + readyMarker},
        std::vector<std::string>{DisplayEnv()});
    return WaitFor([&] { return access(readyMarker.c_str(), F_OK) == 0; });
  }

  // Runs an X client tool (xdotool, import) on this display; its output.
  std::string Run(const std::string& program, const std::vector<std::string>& args) const {
    int status = 0;
    TRunOptions options;
    options.Env = {{"DISPLAY", Name}};
    return RunProgram(program, args, status, options);
  }

  // The screen as RGB bytes, row by row.
  std::string Grab() const { return Run("/usr/bin/import", {"-window", "root", "-depth", "8", "rgb:-"}); }

  // The first visible window whose title is exactly `title`, "" while there is none.
  std::string FindWindow(const std::string& title) const {
    const std::string ids = Run("/usr/bin/xdotool", {"search", "--onlyvisible", "--name", "^" + title + "$"});
    return ids.substr(0, ids.find('\n'));
  }

 private:
  // The window manager goes before its server.
  std::unique_ptr<TChild> Server;
  std::unique_ptr<TChild> Manager;
  std::string Name;
};

}  // namespace tunevale::test
