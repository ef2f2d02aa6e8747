#include "app/settings_dialog_model.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

using Strings = std::vector<std::string>;

struct TRecordingTarget : TSettingsDialogTarget {
  TCrawlTasks Queue;
  std::string Calls;
  TCrawlTasks& CrawlQueue() override { return Queue; }
  void ApplySettings() override { Calls += "apply "; }
  void RebuildCaptions() override { Calls += "captions "; }
  void RefreshLibraryViewsSoon() override { Calls += "views "; }
  void UpdateRelativeFlags() override { Calls += "relative "; }
  void SaveSettings() override { Calls += "save"; }
};

class SettingsDialogModelTest : public ::testing::Test {
 protected:
  SettingsDialogModelTest() {
    Model.Inform = [this](const std::string& text) { Messages.push_back(text); };
    Model.AskWholeDrive = [this](const std::string& text) {
      return Messages.push_back(text), WholeDriveAnswer;
    };
  }
  void ShowWith(const Strings& folders) {
    Settings.LibraryFolders = folders;
    Model.Show();
  }
  static Strings TaskTexts(const TCrawlTasks& tasks) {
    Strings texts;
    for (int i = 0; i < tasks.Count(); ++i)
      texts.push_back(tasks.Task(i).Path + (tasks.Task(i).Recursive ? " r" : "") +
                      (tasks.Task(i).SearchNew ? " new" : "") + (tasks.Task(i).ForceReread ? " f" : ""));
    return texts;
  }

  TSettings Settings;
  TRecordingTarget Target;
  TSettingsDialogModel Model{Settings, Target, "/p/"};
  Strings Messages;
  bool WholeDriveAnswer = true;
};

TEST_F(SettingsDialogModelTest, AddingAFolderFollowsTheFolderRules) {
  const struct {
    const char* name;
    Strings before;
    const char* added;
    bool yes;
    Strings after;
    Strings messages;
  } cases[] = {
      {"same", {"/m/music"}, "/m/music/", true, {"/m/music"}, {kSameFolderText}},
      {"same as a relative entry", {"../m/music"}, "/m/music", true, {"../m/music"}, {kSameFolderText}},
      {"inside an entry",
       {"/m/a", "/m/music"},
       "/m/music/rock",
       true,
       {"/m/a", "/m/music"},
       {kSubfolderText}},
      {"sibling with a longer name", {"/m/music"}, "/m/music2", true, {"/m/music", "/m/music2"}, {}},
      {"other letter case", {"/m/Music"}, "/m/music", true, {"/m/Music", "/m/music"}, {}},
      {"holding entries, told once",
       {"/m/music2", "/m/music/rock", "sub", "/m/music/jazz"},
       "/m/music",
       true,
       {"/m/music2", "sub", "/m/music"},
       {kSubfolderRemovedText}},
      {"refused after a removable entry", {"/m/a/x", "/m"}, "/m/a", true, {"/m/a/x", "/m"}, {kSubfolderText}},
      {"root, no", {"/m/a"}, "/", false, {"/m/a"}, {kWholeDriveText}},
      {"root, yes", {"/m/a", "../b"}, "/", true, {"/"}, {kWholeDriveText, kSubfolderRemovedText}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Messages.clear();
    WholeDriveAnswer = c.yes;
    ShowWith(c.before);
    const bool added = Model.AddFolder(c.added);
    EXPECT_EQ(Model.Draft.LibraryFolders, c.after);
    EXPECT_EQ(Messages, c.messages);
    EXPECT_EQ(TaskTexts(Model.QueuedTasks()), added ? Strings{c.after.back() + " r new"} : Strings{});
    Model.Cancel();
  }
}

TEST_F(SettingsDialogModelTest, TasksReachTheLibraryInOrderOnlyOnOK) {
  for (const bool ok : {false, true}) {
    ShowWith({"/m/a", "/m/b", "/m/c"});
    Model.Select(0);
    Model.RemoveSelected();
    EXPECT_EQ(Model.Selected(), 0);  // the first entry stays selected
    Model.Select(1);
    Model.RemoveSelected();
    EXPECT_EQ(Model.Selected(), 0);  // the entry before it
    Model.RefreshAll();
    Model.AddFolder("/m/d");
    const Strings expected = {"/m/a r", "/m/c r", " r new", "/m/d r new"};
    EXPECT_EQ(TaskTexts(Model.QueuedTasks()), expected);
    ok ? Model.TakeOver() : Model.Cancel();
    EXPECT_EQ(TaskTexts(Target.Queue), ok ? expected : Strings{});
    EXPECT_EQ(Settings.LibraryFolders, ok ? Strings({"/m/b", "/m/d"}) : Strings({"/m/a", "/m/b", "/m/c"}))
        << ok;
  }
}

TEST_F(SettingsDialogModelTest, UseLibraryNeedsTheBoxAndAFolder) {
  for (const bool checked : {false, true})
    for (const bool folders : {false, true}) {
      Settings.UseLibrary = !(checked && folders);
      ShowWith(folders ? Strings{"/m"} : Strings{});
      Model.SetUseLibrary(checked);
      Model.TakeOver();
      EXPECT_EQ(Settings.UseLibrary, checked && folders) << checked << folders;
    }
}

TEST_F(SettingsDialogModelTest, OKCallsWhatTheChangesNeedInOrder) {
  const std::pair<bool TSettingsDraft::*, const char*> cases[] = {
      {nullptr, "apply save"},
      {&TSettingsDraft::ShowArtistInPlaylist, "apply captions save"},
      {&TSettingsDraft::AlwaysShowAlbumArtist, "apply captions save"},
      {&TSettingsDraft::HideIncompleteAlbums, "views apply save"},
  };
  for (const auto& [field, calls] : cases) {
    Settings = TSettings();
    Target.Calls.clear();
    Model.Show();
    if (field) Model.Draft.*field = true;
    Model.TakeOver();
    EXPECT_EQ(Target.Calls, calls);
  }
}

TEST_F(SettingsDialogModelTest, EntriesSwitchBetweenRelativeAndAbsoluteForms) {
  const std::tuple<const char*, const char*, const char*> cases[] = {{"/p/sub/x", "sub/x", "/p/sub/x"},
                                                                     {"/m/a", "../m/a", "/m/a"},
                                                                     {"/p", ".", "/p"},
                                                                     {"/", "..", "/"},
                                                                     {"/pq/a/", "../pq/a", "/pq/a"}};
  for (const auto& [entry, relative, absolute] : cases) {
    ShowWith({entry});
    EXPECT_FALSE(Model.SelectedIsRelative());  // nothing selected
    Model.Select(0);
    Model.SetSelectedRelative(true);
    EXPECT_EQ(Model.Draft.LibraryFolders[0], relative) << entry;
    Model.SetSelectedRelative(false);
    EXPECT_EQ(Model.Draft.LibraryFolders[0], absolute) << entry;
    Target.Calls.clear();
    Model.TakeOver();
    EXPECT_EQ(Target.Calls, "apply relative save");
  }
}

TEST_F(SettingsDialogModelTest, RestoreDefaultsTurnsTheLibraryOnWithTheDefaultFolders) {
  Settings.MyMusicFolder = "/h/Music";
  Settings.UseLibrary = false;
  ShowWith({"/m"});
  Model.RestoreDefaults();
  EXPECT_TRUE(Model.Draft.UseLibrary);
  EXPECT_EQ(Model.Draft.LibraryFolders, Strings{"/h/Music"});
  EXPECT_EQ(TaskTexts(Model.QueuedTasks()), Strings{" r new"});
}

}  // namespace
}  // namespace tunevale
