// A playlist wired to fakes: a manual-clock runtime, a fake controller and a
// listener recording every change.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/media_kind.h"
#include "playlist/fake_playback.h"
#include "playlist/playlist.h"
#include "support/fake_runtime.h"

namespace tunevale::test {

class PlaylistFixture : public ::testing::Test {
 protected:
  PlaylistFixture() { playlist.AddListener(&listener); }

  void Add(std::initializer_list<std::string> paths) {
    for (const std::string& path : paths) playlist.AddPlaylistEntry(path);
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> files;
    for (int i = 0; i < playlist.Count(); ++i) files.push_back(playlist.Row(i).Data->FileName);
    return files;
  }
  std::vector<int> Images() const {
    std::vector<int> images;
    for (int i = 0; i < playlist.Count(); ++i) images.push_back(playlist.Row(i).ImageIndex);
    return images;
  }
  std::vector<int> Selected() const { return playlist.SelectedIndices(); }
  void Select(std::initializer_list<int> rows) {
    playlist.ClearSelection();
    for (int row : rows) playlist.SetSelected(row, true);
  }

  TFakeRuntime runtime;
  TMessagePump pump{runtime};
  TPlaylistSettings settings;
  TFileExtensions extensions;
  TPlaylist playlist{settings, extensions, pump};
  TFakePlayback playback{playlist};
  TRecordingListener listener;
};

}  // namespace tunevale::test
