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
#include <vector>

#include "support/run_program.h"

namespace tunevale::test {

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

class TXvfb {
 public:
  static constexpr int kWidth = 1280, kHeight = 800;

  // Display() stays empty when the server does not start.
  TXvfb() {
    int fds[2];
    if (pipe(fds) != 0) return;
    Server = std::make_unique<TChild>(
        "/usr/bin/Xvfb",
        std::vector<std::string>{"-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x800x24"});
    close(fds[1]);
    std::string number;
    for (char c = 0; read(fds[0], &c, 1) == 1 && c != '\n';) number += c;
    close(fds[0]);
    Name = ":" + number;
    // Usable once a client gets its answers.
    if (number.empty() || !WaitFor([&] { return !Grab().empty(); })) Name.clear();
  }

  const std::string& Display() const { return Name; }

  // Starts openbox and waits until it manages windows.
  bool StartWindowManager(const std::string& readyMarker) {
    Manager = std::make_unique<TChild>(
        "/usr/bin/openbox", std::vector<std::string>{"--sm-disable", "--startup", "touch " + readyMarker},
        std::vector<std::string>{"DISPLAY=" + Name});
    return WaitFor([&] { return access(readyMarker.c_str(), F_OK) == 0; });
  }

  // The screen as RGB bytes, row by row.
  std::string Grab() const {
    int status = 0;
    return RunProgram("/usr/bin/import", {"-window", "root", "-depth", "8", "rgb:-"}, status,
                      TRunOptions{{{"DISPLAY", Name}}, nullptr});
  }

 private:
  std::unique_ptr<TChild> Server, Manager;  // the manager ends before its server
  std::string Name;
};

}  // namespace tunevale::test
