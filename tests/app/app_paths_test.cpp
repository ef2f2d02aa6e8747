// Where a copy keeps its things, and the entry's decisions before a window exists.
#include "app/app_paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "app/entry.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

class AppPathsTest : public ::testing::Test {
 protected:
  AppPathsTest() {
    Vars["HOME"] = Folder / "home";
    Vars["XDG_DATA_HOME"] = Folder / "data";
    Vars["XDG_CONFIG_HOME"] = Folder / "config";
    Exe = Folder.Write("bin/tunevale", "elf");
  }
  TEnvironment Env() const {
    return [this](const char* name) -> std::optional<std::string> {
      const auto it = Vars.find(name);
      if (it == Vars.end()) return std::nullopt;
      return it->second;
    };
  }
  // What PlanEntry says on standard error.
  std::string PlanOutput(const std::vector<std::string>& args, TEntryPlan& plan) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* err = open_memstream(&buffer, &size);
    plan = PlanEntry(args, Env(), Exe, Folder / "cwd", err);
    std::fclose(err);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
  }

  test::TTempFolder Folder;
  std::map<std::string, std::string> Vars;
  std::string Exe;
};

TEST_F(AppPathsTest, APortableCopyKeepsEverythingBesideTheExecutable) {
  Folder.Write("bin/Tunevale.ini", "[Tunevale]\n");
  Folder.Write("config/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Tunes\"\n");
  const TAppPaths paths = InitPaths(Env(), Exe);
  EXPECT_TRUE(paths.Portable);
  EXPECT_FALSE(paths.IsInstalled);
  EXPECT_FALSE(paths.NeedsInstaller);
  EXPECT_EQ(paths.ProgramDir, Folder / "bin/");
  EXPECT_EQ(paths.LibraryDbPath, Folder / "bin/Library.db");
  EXPECT_EQ(paths.IniFilePath, Folder / "bin/Tunevale.ini");
  EXPECT_EQ(paths.AppDataDir, Folder / "data/Tunevale/");
  EXPECT_EQ(paths.MyMusicFolder, Folder / "home/Tunes");

  TSettings settings;
  ApplyPaths(paths, settings);
  EXPECT_FALSE(settings.IsInstalled);
  EXPECT_EQ(settings.LibraryDbPath, paths.LibraryDbPath);
}

TEST_F(AppPathsTest, TheInstallRecordMakesACopyInstalledOnlyForItsOwnPath) {
  const std::string record = Folder / "data/Tunevale/install.conf";
  ASSERT_TRUE(WriteInstallRecord(record, Exe));
  TAppPaths paths = InitPaths(Env(), Exe);
  EXPECT_TRUE(paths.IsInstalled);
  EXPECT_EQ(paths.LibraryDbPath, Folder / "data/Tunevale/Library.db");
  EXPECT_EQ(paths.KeyStorePath, Folder / "config/Tunevale/Tunevale.conf");
  // The same path spelt with a doubled separator is the same file.
  ASSERT_TRUE(WriteInstallRecord(record, Folder / "bin//tunevale"));
  EXPECT_TRUE(InitPaths(Env(), Exe).IsInstalled);

  // Another copy, or the same name in other letters, is not the installed one.
  for (const std::string& other : {Folder / "other/tunevale", Folder / "BIN/tunevale"}) {
    ASSERT_TRUE(WriteInstallRecord(record, other));
    paths = InitPaths(Env(), Exe);
    EXPECT_FALSE(paths.IsInstalled) << other;
    EXPECT_EQ(paths.LibraryDbPath, Folder / "bin/Library.db");
  }
  // The final uninstall stage runs from the temporary folder: the library stays in the data folder.
  EXPECT_EQ(InitPaths(Env(), Exe, true).LibraryDbPath, Folder / "data/Tunevale/Library.db");
}

TEST_F(AppPathsTest, DataHomeFallsBackToTheHomeFolder) {
  EXPECT_EQ(DataHome(Env()), Folder / "data");
  Vars["XDG_DATA_HOME"] = "relative/data";
  EXPECT_EQ(DataHome(Env()), Folder / "home/.local/share");
  Vars.erase("HOME");
  EXPECT_EQ(DataHome(Env()), "");
}

TEST_F(AppPathsTest, ADownloadCacheCopyWantsTheInstallerEvenWhenPortable) {
  Exe = Folder.Write("Temporary Internet Files/tunevale", "elf");
  Folder.Write("Temporary Internet Files/Tunevale.ini");
  EXPECT_TRUE(InitPaths(Env(), Exe).NeedsInstaller);
}

TEST_F(AppPathsTest, ACopyNeitherInstalledNorPortableSaysItRunsPortable) {
  TEntryPlan plan;
  const std::string said = PlanOutput({"song.mp3", "/abs/b.mp3", "http://host/s"}, plan);
  EXPECT_EQ(plan.ExitCode, -1);
  EXPECT_TRUE(plan.Paths.NeedsInstaller);
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find("portable"), std::string::npos);
  EXPECT_EQ(plan.Files, (std::vector<std::string>{Folder / "cwd/song.mp3", "/abs/b.mp3", "http://host/s"}));

  // Once the settings file exists the copy is portable and says nothing.
  Folder.Write("bin/Tunevale.ini");
  EXPECT_EQ(PlanOutput({}, plan), "");
}

TEST_F(AppPathsTest, SwitchesDecideTheBranch) {
  Folder.Write("bin/Tunevale.ini");
  TEntryPlan plan;
  EXPECT_EQ(PlanOutput({"/setassoc", "a", "b", "c"}, plan), "/setassoc: not available in this build\n");
  EXPECT_EQ(plan.ExitCode, 2);
  PlanOutput({"/forcestart", "x.mp3"}, plan);
  EXPECT_EQ(plan.ExitCode, -1);
  EXPECT_TRUE(plan.Decision.ForceStart);
  EXPECT_TRUE(plan.Files.empty());
  // Switches are compared exactly: another case is a file name.
  PlanOutput({"/INSTALL"}, plan);
  EXPECT_EQ(plan.ExitCode, -1);
}

TEST_F(AppPathsTest, AWaylandSessionWithAnXServerRunsTheWindowThroughX) {
  for (const auto& [vars, expected] : std::vector<std::pair<std::map<std::string, std::string>, std::string>>{
           {{{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, "xcb"},
           {{{"WAYLAND_DISPLAY", "wayland-0"}}, ""},  // no X server to go through
           {{{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "offscreen"}}, ""}}) {
    Vars = vars;
    EXPECT_EQ(QtPlatformOverride(Env()), expected) << testing::PrintToString(vars);
  }
}

}  // namespace
}  // namespace tunevale
