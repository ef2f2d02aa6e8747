// Whole processes for the benchmarks: wall time, processor time and peak
// resident memory of a program run with its output thrown away.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace tunevale {

using Clock = std::chrono::steady_clock;

inline double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2];
}

struct TProcessRun {
  double Ms = -1;
  double CpuMs = -1;  // user and system time: less at the mercy of a shared machine
  double PeakMiB = -1;
};

// The child of a big process carries the parent's pages until its exec and
// its peak counts them: so this program starts itself again, small, as
// "--spawn PROGRAM ARGS...", which runs the program and writes the
// program's own peak (KiB) and processor time (ms) to descriptor 3.
inline int Spawn(char** argv) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (!freopen("/dev/null", "w", stdout)) _exit(126);
    execv(argv[0], argv);
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
  const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
  dprintf(3, "%ld %.1f\n", usage.ru_maxrss, ms(usage.ru_utime) + ms(usage.ru_stime));
  return 0;
}

// Runs `argv` with its output thrown away; wall time, processor time and peak resident memory.
inline TProcessRun RunProcess(const std::vector<std::string>& argv) {
  int figures[2];
  if (pipe(figures) != 0) return {};
  std::fflush(stdout);  // the child would print what is buffered again
  const Clock::time_point start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(figures[1], 3);
    std::vector<char*> args = {const_cast<char*>("/proc/self/exe"), const_cast<char*>("--spawn")};
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(figures[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  const double ms = Since(start);
  char text[64] = {};
  const ssize_t n = read(figures[0], text, sizeof text - 1);
  close(figures[0]);
  long peakKb = 0;
  double cpuMs = 0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || n <= 0 ||
      std::sscanf(text, "%ld %lf", &peakKb, &cpuMs) != 2)
    return {};
  return {ms, cpuMs, static_cast<double>(peakKb) / 1024.0};
}

// Runs `argv` (looked up in PATH) with its output thrown away and answers its
// wall time, or -1 when it fails. No go-between: for a process set beside work
// done in this one, or beside another such process.
inline double RunProcessWallMs(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::fflush(stdout);
  pid_t pid = 0;
  const Clock::time_point start = Clock::now();
  const int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  const double ms = Since(start);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

}  // namespace tunevale
