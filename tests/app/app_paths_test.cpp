// Where a copy keeps its things, and the entry's decisions before a window exists.
#include "app/app_paths.h"

#include <gtest/gtest.h>

#include <map>

#include "app/entry.h"
#include "app/install_record.h"
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
  TEntryPlan Plan(const std::vector<std::string>& args) {
    return PlanEntry(args, Env(), Exe, Folder / "cwd");
  }
  static bool Record(const std::string& path, const std::string& exe) {
    TInstallRecord record;
    record.InstallPath = exe;
    return WriteInstallRecord(path, record, "");
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
  ASSERT_TRUE(Record(record, Exe));
  TAppPaths paths = InitPaths(Env(), Exe);
  EXPECT_TRUE(paths.IsInstalled);
  EXPECT_EQ(paths.LibraryDbPath, Folder / "data/Tunevale/Library.db");
  EXPECT_EQ(paths.KeyStorePath, Folder / "config/Tunevale/Tunevale.conf");
  // The same path spelt with a doubled separator is the same file.
  ASSERT_TRUE(Record(record, Folder / "bin//tunevale"));
  EXPECT_TRUE(InitPaths(Env(), Exe).IsInstalled);

  // Another copy, or the same name in other letters, is not the installed one.
  for (const std::string& other : {Folder / "other/tunevale", Folder / "BIN/tunevale"}) {
    ASSERT_TRUE(Record(record, other));
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

TEST_F(AppPathsTest, APackagedCopyIsInstalledButNotSelfUpdating) {
  Folder.Write("share/tunevale/packaged");
  const TAppPaths paths = InitPaths(Env(), Exe);
  EXPECT_TRUE(paths.IsInstalled);
  EXPECT_TRUE(paths.SystemInstalled);
  EXPECT_FALSE(paths.NeedsInstaller);
  EXPECT_EQ(paths.LibraryDbPath, Folder / "data/Tunevale/Library.db");
}

TEST_F(AppPathsTest, ACopyNeitherInstalledNorPortableRunsTheWizard) {
  TEntryPlan plan = Plan({"song.mp3", "/abs/b.mp3", "http://host/s", "file:///m/c%20d.ogg"});
  EXPECT_TRUE(plan.RunWizard);
  EXPECT_EQ(plan.Files,
            (std::vector<std::string>{Folder / "cwd/song.mp3", "/abs/b.mp3", "http://host/s", "/m/c d.ogg"}));
  Folder.Write("bin/Tunevale.ini");
  EXPECT_FALSE(Plan({}).RunWizard);
}

// Which switch is which is the command line's business; here, what the plan does with it.
TEST_F(AppPathsTest, SwitchesTakeNoFilesAndTheUninstallerUsesTheDataFolder) {
  Folder.Write("bin/Tunevale.ini");
  EXPECT_TRUE(Plan({"/setassoc", "a", "b", "c"}).Files.empty());
  EXPECT_TRUE(Plan({"/forcestart", "x.mp3"}).Files.empty());
  EXPECT_EQ(Plan({"/uninstall"}).Paths.LibraryDbPath, Folder / "data/Tunevale/Library.db");
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
