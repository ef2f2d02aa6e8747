#include "platform/posix_process_launcher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace tunevale {

namespace {

// The argv of an exec; built before fork, since the child may only call
// async-signal-safe functions.
std::vector<char*> Argv(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return argv;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool TPosixProcessLauncher::Start(const std::string& program, const std::vector<std::string>& args,
                                  std::string* error) {
  std::vector<char*> argv = Argv(program, args);
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(report[0]);
    ::setsid();
    if (::fork() == 0) {
      ::execvp(argv[0], argv.data());
      const int code = errno;
      (void)!::write(report[1], &code, sizeof code);
      ::_exit(127);
    }
    ::_exit(0);
  }
  ::close(report[1]);
  if (child < 0) {
    ::close(report[0]);
    if (error) *error = std::strerror(errno);
    return false;
  }
  WaitFor(child);
  // The pipe closes on a successful exec; otherwise it carries errno.
  int code = 0;
  ssize_t n;
  while ((n = ::read(report[0], &code, sizeof code)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  if (n == ssize_t(sizeof code)) {
    if (error) *error = program + ": " + std::strerror(code);
    return false;
  }
  return true;
}

int TPosixProcessLauncher::Run(const std::string& tool, const std::vector<std::string>& args) {
  std::vector<char*> argv = Argv(tool, args);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The tools' chatter is not ours to show.
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int failed = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed != 0 ? -1 : WaitFor(pid);
}

}  // namespace tunevale
