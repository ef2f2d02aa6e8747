#include <gtest/gtest.h>

#include "app/remote_command.h"
#include "app/remote_continuation.h"
#include "app/remote_frame.h"
#include "app/remote_reply.h"
#include "support/fake_runtime.h"

namespace tunevale {
namespace {

using Args = std::vector<std::string>;

TEST(RemoteCommandTest, SplitsWordAndArguments) {
  struct Case {
    std::string Text;
    std::string Word;
    Args Arguments;
  };
  const Case cases[] = {
      {"setvolume=5000", "setvolume", {"5000"}},
      {"PLAYPAUSE=", "playpause", {""}},
      {"playpause", "playpause", {"playpause"}},
      {"PlayPause", "PlayPause", {"PlayPause"}},   // no "=": case kept, so no command matches
      {"=abc", "=abc", {"abc"}},                   // "=" first: the whole text is the word
      {"a=b=c", "a", {"b=c"}},
      {"play=/a.mp3\x01/b.mp3\x01", "play", {"/a.mp3", "/b.mp3"}},
      {"play=a\x01\x01" "b", "play", {"a", "", "b"}},
      {"play=\x01", "play", {""}},
      {"play=a\x01\x01", "play", {"a", ""}},
      {"", "", {""}},
      {"GetArtists=Abba", "getartists", {"Abba"}},  // only the word is lower-cased
  };
  for (const Case& c : cases) {
    const TRemoteCommand command = ParseRemoteCommand(c.Text);
    EXPECT_EQ(command.Word, c.Word) << c.Text;
    EXPECT_EQ(command.Args, c.Arguments) << c.Text;
  }
}

TEST(RemoteCommandTest, NumbersAreStrictAndMissingArgumentsRaise) {
  const TRemoteCommand command = ParseRemoteCommand("x=12\x01-3\x01" "abc\x01" " 4\x01");
  EXPECT_EQ(command.IntArg(0), 12);
  EXPECT_EQ(command.IntArg(1), -3);
  EXPECT_THROW(command.IntArg(2), ERemoteCommandError);
  EXPECT_THROW(command.IntArg(3), ERemoteCommandError);
  EXPECT_THROW(command.IntArg(4), ERemoteCommandError);
  try {
    command.IntArg(2);
  } catch (const ERemoteCommandError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

TEST(RemoteFrameTest, FramesSurviveAnySplitOfTheStream) {
  std::string stream;
  AppendFrame(stream, "setvolume=1");
  AppendFrame(stream, "");
  AppendFrame(stream, "play=a\x01");
  for (size_t piece = 1; piece <= stream.size(); ++piece) {
    TFrameReader reader;
    std::vector<std::string> frames;
    for (size_t i = 0; i < stream.size(); i += piece) {
      reader.Feed(std::string_view(stream).substr(i, piece));
      while (auto f = reader.Next()) frames.push_back(*f);
    }
    EXPECT_EQ(frames, (Args{"setvolume=1", "", "play=a\x01"})) << piece;
    EXPECT_EQ(reader.Pending(), 0u);
  }
}

TEST(RemoteFrameTest, AppendCutsAtAnEmbeddedZero) {
  std::string out;
  AppendFrame(out, std::string_view("stop\0\0play=x", 12));
  EXPECT_EQ(out, std::string("stop\0", 5));
}

TEST(RemoteFrameTest, OverlongFrameOverflowsButOneAtTheLimitPasses) {
  TFrameReader reader(4);
  reader.Feed("ab");
  reader.Feed(std::string_view("cd\0", 3));
  EXPECT_EQ(reader.Next(), "abcd");
  reader.Feed("efg");
  EXPECT_FALSE(reader.Overflowed());
  reader.Feed("hi");
  EXPECT_TRUE(reader.Overflowed());
  EXPECT_EQ(reader.Next(), std::nullopt);
  EXPECT_EQ(reader.Pending(), 0u);
}

TEST(RemoteReplyTest, StateAndVolumeTexts) {
  TRemoteState state;
  state.GraphState = 3;
  state.TimeText = "0:01:02 / 0:03:00";
  state.PlaylistIndex = 4;
  state.Artist = "Artist";
  state.Album = "Album";
  state.Title = "Title";
  state.IsVideo = true;
  EXPECT_EQ(FormatState(state, false), "state=graphstate=3\x01time=0:01:02 / 0:03:00");
  EXPECT_EQ(FormatState(state, true),
            "state=graphstate=3\x01time=0:01:02 / 0:03:00\x01playlistindex=4\x01" "artist=Artist\x01"
            "album=Album\x01title=Title\x01isvideo=1");
  EXPECT_EQ(FormatVolume(10000, true), "volume=10000\x01" "1");
  EXPECT_EQ(FormatVolume(0, false), "volume=0\x01" "0");
}

TEST(RemoteReplyTest, RecordListsUseBothSeparators) {
  // Full lists of every kind: the interpreter's tests read them whole.
  EXPECT_EQ(FormatPlaylistNames({}), "playlistnames=");
  EXPECT_EQ(FormatPlaylists({{"/p/c.m3u", "C"}}), "playlists=/p/c.m3u\x02" "C\x01");
}

TEST(RemoteReplyTest, SeparatorsInsideValuesCannotBreakRecords) {
  // A tag holding the separators (or a zero) would split the record or end
  // the frame early at the listener.
  EXPECT_EQ(FormatTracks({{std::string("/m/a\x01" "b", 6), std::string("t\x02u\0v", 5)}}),
            "tracks=/m/a b\x02t u v\x01");
  EXPECT_EQ(FormatPlaylistNames({"x\x01y"}), "playlistnames=x y\x01");
}

TEST(ContinuationWindowTest, FiveHundredMillisecondsAfterTheLastCommand) {
  test::TFakeRuntime runtime;
  runtime.ClockMs = 100000;
  TContinuationWindow window(runtime);
  EXPECT_FALSE(window.Begin());
  window.End();
  runtime.Advance(499);
  EXPECT_TRUE(window.Begin());
  window.End();
  runtime.Advance(500);
  EXPECT_FALSE(window.Begin());
  window.End();
}

TEST(ContinuationWindowTest, HeldWhileACommandRunsAndDuringStartUp) {
  test::TFakeRuntime runtime;
  TContinuationWindow window(runtime);
  EXPECT_FALSE(window.Begin());
  runtime.Advance(60 * 60 * 1000);  // a long command that pumps messages
  EXPECT_TRUE(window.Begin());      // a nested command
  window.End();
  window.End();
  runtime.Advance(1000);
  window.Hold();
  runtime.Advance(10 * 60 * 1000);
  EXPECT_TRUE(window.Begin());
}

}  // namespace
}  // namespace tunevale
