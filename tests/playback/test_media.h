// Real media for engine tests, made at test time with gst-launch-1.0 (short, so
// the suite stays fast), and a private sound server for real-time output.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace tunevale::test {

// gst-launch-1.0 with a pipeline description split on spaces.
inline void GstLaunch(const std::string& pipeline) {
  std::vector<std::string> args = {"-q"};
  size_t start = 0;
  while (start < pipeline.size()) {
    size_t end = pipeline.find(' ', start);
    if (end == std::string::npos) end = pipeline.size();
    if (end > start) args.push_back(pipeline.substr(start, end - start));
    start = end + 1;
  }
  int status = -1;
  RunProgram("/usr/bin/gst-launch-1.0", args, status);
  if (status != 0) throw std::runtime_error("gst-launch-1.0 failed: " + pipeline);
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
    const std::string tone =
        " audiotestsrc num-buffers=15 samplesperbuffer=4410 ! audio/x-raw,rate=44100,channels=2"
        " ! audioconvert ! ";
    GstLaunch(
        tone + "lamemp3enc ! xingmux ! filesink location=" + Mp3 +  //
        tone + "wavenc ! filesink location=" + Wav +                //
        tone + "vorbisenc ! oggmux ! filesink location=" + Ogg +
        " videotestsrc num-buffers=25 ! video/x-raw,width=320,height=240,framerate=25/1 ! vp8enc deadline=1"
        " ! webmmux ! filesink location=" +
        Video + " videotestsrc num-buffers=1 ! video/x-raw,width=64,height=48 ! pngenc ! filesink location=" +
        Picture);
  }
};

// A PulseAudio server of the test's own with a null sink, so the default sound
// output plays in real time without a sound card. Available() is false when it
// cannot start (no pulseaudio installed).
class TPrivateSoundServer {
 public:
  explicit TPrivateSoundServer(const std::string& folder) : Socket(folder + "/run/pulse/native") {
    mkdir((folder + "/home").c_str(), 0700);
    mkdir((folder + "/run").c_str(), 0700);
    Server = std::make_unique<TChild>(
        "/usr/bin/pulseaudio",
        std::vector<std::string>{"--daemonize=no", "--exit-idle-time=-1", "-n", "-L", "module-null-sink",
                                 "-L", "module-native-protocol-unix"},
        std::vector<std::string>{"HOME=" + folder + "/home", "XDG_RUNTIME_DIR=" + folder + "/run"});
    WaitFor([&] { return Available(); }, 5000);
  }
  bool Available() const { return access(Socket.c_str(), F_OK) == 0; }
  // The value for PULSE_SERVER.
  std::string Address() const { return "unix:" + Socket; }

 private:
  std::string Socket;
  std::unique_ptr<TChild> Server;
};

}  // namespace tunevale::test
