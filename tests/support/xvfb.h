// A private X server for tests of real windows. Xvfb picks a free display
// itself (-displayfd), so parallel runs never collide; a window manager can
// be added for frames and placement as a desktop has them.
#pragma once

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace tunevale::test {

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
