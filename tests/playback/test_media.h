// Real media for engine tests, made at test time with gst-launch-1.0 (short, so
// the suite stays fast), and a private sound server for real-time output.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace tunevale::test {

// Runs a program with an argument list and waits; true when it exits with 0.
inline bool RunProgram(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// gst-launch-1.0 with a pipeline description split on spaces.
inline void GstLaunch(const std::string& pipeline) {
  std::vector<std::string> args = {"gst-launch-1.0", "-q"};
  size_t start = 0;
  while (start < pipeline.size()) {
    size_t end = pipeline.find(' ', start);
    if (end == std::string::npos) end = pipeline.size();
    if (end > start) args.push_back(pipeline.substr(start, end - start));
    start = end + 1;
  }
  if (!RunProgram(args)) throw std::runtime_error("gst-launch-1.0 failed: " + pipeline);
}

struct TTestMedia {
  std::string Mp3, Wav, Ogg, Video, Picture;
  static constexpr int kAudioMs = 1500;
  static constexpr int kVideoWidth = 320, kVideoHeight = 240;
  static constexpr int kPictureWidth = 64, kPictureHeight = 48;

  explicit TTestMedia(const std::string& folder)
      : Mp3(folder + "/tone.mp3"),
        Wav(folder + "/tone.wav"),
        Ogg(folder + "/tone.ogg"),
        Video(folder + "/bars.webm"),
        Picture(folder + "/still.png") {
    // One process makes them all (each test process makes its own set).
    // 15 buffers of 4410 samples at 44.1 kHz: 1.5 s.
    const std::string tone = " audiotestsrc num-buffers=15 samplesperbuffer=4410 ! audio/x-raw,rate=44100,channels=2"
                             " ! audioconvert ! ";
    GstLaunch(tone + "lamemp3enc ! xingmux ! filesink location=" + Mp3 +  //
              tone + "wavenc ! filesink location=" + Wav +                //
              tone + "vorbisenc ! oggmux ! filesink location=" + Ogg +
              " videotestsrc num-buffers=25 ! video/x-raw,width=320,height=240,framerate=25/1 ! vp8enc deadline=1"
              " ! webmmux ! filesink location=" +
              Video +
              " videotestsrc num-buffers=1 ! video/x-raw,width=64,height=48 ! pngenc ! filesink location=" + Picture);
  }
};

// A PulseAudio server of the test's own with a null sink, so the default sound
// output plays in real time without a sound card. Available() is false when it
// cannot start (no pulseaudio installed).
class TPrivateSoundServer {
 public:
  explicit TPrivateSoundServer(const std::string& folder) {
    const std::string home = folder + "/home", runtime = folder + "/run";
    mkdir(home.c_str(), 0700);
    mkdir(runtime.c_str(), 0700);
    Socket = runtime + "/pulse/native";
    std::vector<std::string> env = {"HOME=" + home, "XDG_RUNTIME_DIR=" + runtime, "PATH=/usr/bin:/bin"};
    std::vector<std::string> args = {"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
                                     "-L", "module-null-sink", "-L", "module-native-protocol-unix"};
    std::vector<char*> argv, envp;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&Pid, "pulseaudio", &actions, nullptr, argv.data(), envp.data()) != 0) Pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; Pid && i < 100 && access(Socket.c_str(), F_OK) != 0; ++i) usleep(50000);
  }
  ~TPrivateSoundServer() {
    if (!Pid) return;
    kill(Pid, SIGTERM);
    waitpid(Pid, nullptr, 0);
  }
  bool Available() const { return Pid && access(Socket.c_str(), F_OK) == 0; }
  // The value for PULSE_SERVER.
  std::string Address() const { return "unix:" + Socket; }

 private:
  pid_t Pid = 0;
  std::string Socket;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tunevale::test
