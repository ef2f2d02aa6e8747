// A player stand-in for the remote interpreter: a playlist of texts, a small
// library, and a log of every operation in call order.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/remote_control.h"
#include "app/remote_target.h"

namespace tunevale::test {

// Collects the frames sent to each connection.
class TFakeRemoteOutput : public TRemoteOutput {
 public:
  void SendFrame(TConnectionId connection, std::string_view text) override {
    Frames[connection].emplace_back(text);
    All.emplace_back(connection, std::string(text));
  }
  bool ConnectionOpen(TConnectionId connection) const override { return Closed.count(connection) == 0; }
  std::map<TConnectionId, std::vector<std::string>> Frames;
  std::set<TConnectionId> Closed;
  std::vector<std::pair<TConnectionId, std::string>> All;  // in sending order
};

class TFakeRemoteTarget : public TRemoteTarget {
 public:
  struct TAlbum {
    std::string Name;
    std::vector<std::string> Tracks;
  };
  struct TArtist {
    std::string Name;
    std::vector<TAlbum> Albums;
  };

  void SeamlessUpgrade() override { Log("SeamlessUpgrade"); }
  void SaveSettings() override { Log("SaveSettings"); }
  void LoadSettings() override { Log("LoadSettings"); }
  void PlayPause() override { Log("PlayPause"); }
  void Stop() override { Log("Stop"); }
  void Next() override { Log("Next"); }
  void Previous() override { Log("Previous"); }
  bool IsVideoFullScreen() const override { return FullScreen; }
  void ToggleFullScreen() override {
    FullScreen = !FullScreen;
    Log("ToggleFullScreen");
  }
  void SetFullScreenRect(int left, int top, int width, int height) override {
    Log("SetFullScreenRect " + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(width) + " " +
        std::to_string(height));
  }
  void HideVideo() override { Log("HideVideo"); }
  void ShowVideo() override { Log("ShowVideo"); }
  void SetControlMode(bool on) override { Log(on ? "SetControlMode 1" : "SetControlMode 0"); }

  std::vector<TRemoteArtist> FindArtists(const std::string& query) const override {
    std::vector<TRemoteArtist> out;
    for (size_t i = 0; i < Artists.size(); ++i)
      if (Matches(Artists[i].Name, query)) out.push_back({int(i), Artists[i].Name});
    Searches.push_back("artists:" + query);
    return out;
  }
  std::vector<TRemoteAlbum> FindAlbums(const std::string& query) const override {
    std::vector<TRemoteAlbum> out;
    for (size_t i = 0; i < Artists.size(); ++i)
      for (size_t j = 0; j < Artists[i].Albums.size(); ++j)
        if (Matches(Artists[i].Albums[j].Name, query)) out.push_back({int(i), int(j), Artists[i].Albums[j].Name});
    Searches.push_back("albums:" + query);
    return out;
  }
  std::vector<TRemoteEntry> FindTracks(const std::string& query) const override {
    std::vector<TRemoteEntry> out;
    for (const TArtist& a : Artists)
      for (const TAlbum& b : a.Albums)
        for (const std::string& t : b.Tracks)
          if (Matches(t, query)) out.push_back({"/music/" + t, t});
    Searches.push_back("tracks:" + query);
    return out;
  }
  std::vector<TRemoteEntry> FindVideos(const std::string& query) const override {
    Searches.push_back("videos:" + query);
    return {{"/v/clip.mkv", "clip"}};
  }
  std::vector<TRemoteEntry> FindPlaylists(const std::string& query) const override {
    Searches.push_back("playlists:" + query);
    return {};
  }
  int ArtistCount() const override { return int(Artists.size()); }
  int AlbumCount(int artistIndex) const override { return int(Artists.at(size_t(artistIndex)).Albums.size()); }
  void AddArtistTracks(int artistIndex) override {
    for (const TAlbum& b : Artists.at(size_t(artistIndex)).Albums)
      for (const std::string& t : b.Tracks) Playlist.push_back(t);
    Log("AddArtistTracks " + std::to_string(artistIndex));
  }
  void AddAlbumTracks(int artistIndex, int albumIndex) override {
    for (const std::string& t : Artists.at(size_t(artistIndex)).Albums.at(size_t(albumIndex)).Tracks)
      Playlist.push_back(t);
    Log("AddAlbumTracks " + std::to_string(artistIndex) + " " + std::to_string(albumIndex));
  }

  int PlaylistCount() const override { return int(Playlist.size()); }
  std::vector<std::string> PlaylistCaptions() const override { return Playlist; }
  void ClearPlaylist() override {
    Playlist.clear();
    Log("ClearPlaylist");
  }
  void AddPlaylistEntry(const std::string& fileName) override {
    Log("Add " + fileName);
    auto folder = Folders.find(fileName);
    if (folder == Folders.end())
      Playlist.push_back(fileName);
    else
      for (const std::string& f : folder->second) Playlist.push_back(f);
    if (OnAdd) OnAdd(fileName);  // the message pump of a long operation
  }
  void PlayEntry(int index) override {
    Log("PlayEntry " + std::to_string(index));
    State_.PlaylistIndex = index;
    Graph = 3;
  }
  void ReadTrackInfo() override { Log("ReadTrackInfo"); }
  int OpenBehavior() const override { return Behavior; }

  TRemoteState State() const override {
    TRemoteState s = State_;
    s.GraphState = Graph;
    return s;
  }
  int Volume() const override { return VolumePosition; }
  bool VolumeMuted() const override { return Muted; }
  void SetVolume(int position) override {
    Log("SetVolume " + std::to_string(position));
    VolumePosition = position;
    if (Remote) Remote->NotifyState(false, false, true);  // the slider's change handler
  }
  void Close() override { Log("Close"); }
  void ShowIfHidden() override { Log("ShowIfHidden"); }
  void ShowHandling() override { ++ShowHandlings; }

  void Log(std::string call) {
    if (Logging) Calls.push_back(std::move(call));
  }

  std::vector<std::string> Calls;
  bool Logging = true;
  mutable std::vector<std::string> Searches;
  std::vector<std::string> Playlist;
  std::map<std::string, std::vector<std::string>> Folders;  // added as their files
  std::vector<TArtist> Artists;
  std::function<void(const std::string&)> OnAdd;
  TRemoteControl* Remote = nullptr;
  TRemoteState State_;
  int Graph = 1;
  int Behavior = 0;
  int VolumePosition = 5000;
  bool Muted = false;
  bool FullScreen = false;
  int ShowHandlings = 0;

 private:
  static bool Matches(const std::string& name, const std::string& query) {
    return query.empty() || name.find(query) != std::string::npos;
  }
};

}  // namespace tunevale::test
