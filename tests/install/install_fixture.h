// A private home with XDG folders for installer tests, and ports that record
// what would be started while the desktop tools run for real.
#pragma once

#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "app/instance.h"
#include "install/install_locations.h"
#include "platform/posix_process_launcher.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace tunevale::test {

class TRecordingLauncher : public TPosixProcessLauncher {
 public:
  bool Start(const std::string& program, const std::vector<std::string>& args, std::string*) override {
    std::string line = program;
    for (const std::string& arg : args) line += " " + arg;
    Started.push_back(line);
    return true;
  }
  std::vector<std::string> Started;
};

class TNoPlayers : public TInstancePort {
 public:
  bool AcquireInstance(bool) override { return true; }
  bool PlayerRunning() override { return false; }
  int SendToPlayers(std::string_view, int, const std::function<void(std::string_view)>&) override {
    return 0;
  }
  void Sleep(int) override {}
};

struct THome {
  THome() {
    ::umask(022);  // the modes the tests expect
    Vars = {{"HOME", Folder / "home"},
            {"XDG_DATA_HOME", Folder / "home/.local/share"},
            {"XDG_CONFIG_HOME", Folder / "home/.config"},
            {"TMPDIR", Folder.MakeFolder("tmp")}};
  }
  TEnvironment Env() const {
    return [this](const char* name) -> std::optional<std::string> {
      const auto it = Vars.find(name);
      return it == Vars.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
  }
  // Runs a desktop tool in this home; its output without the line end.
  std::string Tool(const std::string& program, const std::vector<std::string>& args,
                   int* status = nullptr) const {
    TRunOptions options;
    for (const auto& [name, value] : Vars) options.Env.emplace_back(name, value);
    options.Env.emplace_back("XDG_CURRENT_DESKTOP", "");
    options.Env.emplace_back("XDG_DATA_DIRS", "/usr/share");
    int exit = 0;
    std::string out = RunProgram(program, args, exit, options);
    if (status) *status = exit;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
  }
  static unsigned Mode(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }

  TTempFolder Folder;
  std::map<std::string, std::string> Vars;
};

}  // namespace tunevale::test
