// Installing into a private home with real files and the real desktop tools.
#include "install/installer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "install/desktop_entry.h"
#include "install/file_type_association.h"
#include "install/install_fixture.h"
#include "install/maintenance.h"

namespace tunevale {
namespace {

namespace fs = std::filesystem;

class TTableMime : public TMimeTypeDatabase {
 public:
  std::string TypeForExtension(std::string_view ext) const override {
    if (ext == "mp3") return "audio/mpeg";
    if (ext == "ogg" || ext == "oga") return "audio/ogg";
    return ext == "avi" ? "video/x-msvideo" : "";
  }
};

class InstallerTest : public ::testing::Test, protected test::THome {
 protected:
  InstallerTest() : Locations(TInstallLocations::For(Env())) {
    Exe = Folder.Write("download/tunevale", "first program");
    Extensions.ApplyCustomExtensions("xyz", "", "");
  }
  TInstaller Installer(const std::string& exe = {}) {
    TInstallPorts ports{Players, Launcher, Mime,
                        [] {
                          return std::vector<TIconFile>{{"48x48/apps/tunevale.png", "png"}};
                        },
                        [this](const std::string& text, TMessageKind) { Messages.push_back(text); }};
    return TInstaller(Locations, ports, Extensions, exe.empty() ? Exe : exe, "https://example.org");
  }
  std::string DefaultFor(const char* type) const {
    return Tool("/usr/bin/xdg-mime", {"query", "default", type});
  }
  void ExpectValid(const std::string& entry) const {
    int status = -1;
    const std::string said = Tool("/usr/bin/desktop-file-validate", {entry}, &status);
    EXPECT_EQ(status, 0) << entry << ": " << said;
  }

  TInstallLocations Locations;
  TFileExtensions Extensions;
  TTableMime Mime;
  test::TRecordingLauncher Launcher;
  test::TNoPlayers Players;
  std::vector<std::string> Messages;
  std::string Exe;
};

TEST_F(InstallerTest, InstallMakesTheDesktopFilesAndUninstallRemovesExactlyThose) {
  const std::string foreignList = "# mine\n[Default Applications]\ntext/plain=gedit.desktop;\n";
  Folder.Write("home/.config/mimeapps.list", foreignList);
  const std::string foreignEntry = Folder.Write("home/.local/share/applications/other.desktop", "x");
  TInstaller installer = Installer();
  TInstallOptions options = installer.DefaultOptions();
  EXPECT_EQ(options.Location, Folder / "home/.local/opt/Tunevale");
  options.DesktopShortcut = options.MakeDefault = true;
  ASSERT_TRUE(installer.PerformInstall(options, false, true)) << testing::PrintToString(Messages);

  const std::string installed = Folder / "home/.local/opt/Tunevale/tunevale";
  EXPECT_EQ(test::ReadBytes(installed), "first program");
  EXPECT_EQ(Mode(installed), 0755u);
  EXPECT_EQ(Launcher.Started, std::vector<std::string>{installed});
  const TInstallRecord record = ReadInstallRecord(Locations.RecordPath);
  EXPECT_EQ(record.InstallPath, installed);
  EXPECT_EQ(record.FileTypes, KnownExtensions(Extensions));
  EXPECT_NE(test::ReadBytes(Locations.RecordPath).find("UninstallString=\"" + installed + " /uninstall\""),
            std::string::npos);
  for (const std::string& entry : {Locations.ApplicationEntry, Locations.DesktopEntry}) ExpectValid(entry);
  EXPECT_EQ(Mode(Locations.DesktopEntry), 0755u);
  EXPECT_EQ(fs::read_symlink(Folder / "home/.local/bin/tunevale"), installed);
  EXPECT_NE(test::ReadBytes(Locations.MimePackage).find("application/x-tunevale-xyz"), std::string::npos);
  EXPECT_TRUE(fs::exists(Folder / "home/.local/share/mime/mime.cache")) << "update-mime-database ran";
  EXPECT_EQ(DefaultFor("audio/mpeg"), DesktopEntryId);
  EXPECT_NE(test::ReadBytes(Locations.MimeAppsList).find("# mine\n"), std::string::npos);

  // Fewer file types: a type leaves with its last extension and loses our default.
  ASSERT_TRUE(installer.AssociateFileTypes({"oga", "mp3"}, false));
  ASSERT_TRUE(installer.AssociateFileTypes({"oga"}, false));
  EXPECT_NE(test::ReadBytes(Locations.ApplicationEntry).find("\nMimeType=audio/ogg;\n"), std::string::npos);
  EXPECT_EQ(DefaultFor("audio/ogg"), DesktopEntryId);
  EXPECT_NE(DefaultFor("audio/mpeg"), DesktopEntryId);
  EXPECT_FALSE(fs::exists(Locations.MimePackage)) << "no type of ours is left";

  const std::string foreignFile = Folder.Write("home/.local/opt/Tunevale/notes.txt", "mine");
  Folder.Write("home/.local/share/Tunevale/Library.db", "db");
  Folder.Write("home/.config/Tunevale/Tunevale.conf", "Volume=1\n");
  const TUninstallReport report = Installer(installed).UninstallFinal();
  EXPECT_TRUE(report.ProgramRemoved);
  EXPECT_TRUE(report.Failures.empty()) << testing::PrintToString(report.Failures);
  for (const std::string& gone :
       {installed, Locations.ApplicationEntry, Locations.DesktopEntry, Locations.BinLink,
        Locations.RecordPath, Locations.IconThemeDir + "/48x48/apps/tunevale.png",
        Folder / "home/.local/share/Tunevale", Folder / "home/.config/Tunevale"})
    EXPECT_FALSE(fs::exists(fs::symlink_status(gone))) << gone;
  EXPECT_TRUE(fs::exists(foreignFile));
  EXPECT_TRUE(fs::exists(foreignEntry));
  EXPECT_EQ(test::ReadBytes(Locations.MimeAppsList), foreignList);
  EXPECT_NE(DefaultFor("audio/ogg"), DesktopEntryId);
}

TEST_F(InstallerTest, AnUpgradeReplacesARunningCopyAndKeepsTheAssociations) {
  fs::copy_file("/bin/sleep", Folder / "download/sleep");
  TInstaller first = Installer(Folder / "download/sleep");
  TInstallOptions options = first.DefaultOptions();
  options.FileTypes = {"mp3", "xyz"};
  ASSERT_TRUE(first.PerformInstall(options, false, false));
  const std::string installed = Folder / "home/.local/opt/Tunevale/tunevale";
  const std::string entry = test::ReadBytes(Locations.ApplicationEntry);

  const test::TChild running(installed, {"30"});
  usleep(100000);
  TInstaller upgrade = Installer(Exe);
  ASSERT_TRUE(upgrade.PerformInstall(upgrade.UpgradeOptions(), true, true))
      << testing::PrintToString(Messages);
  EXPECT_EQ(test::ReadBytes(installed), "first program");
  EXPECT_EQ(kill(running.ProcessId(), 0), 0) << "the running copy keeps its file";
  EXPECT_EQ(test::ReadBytes(Locations.ApplicationEntry), entry);
  EXPECT_EQ(ReadInstallRecord(Locations.RecordPath).FileTypes, (std::vector<std::string>{"mp3", "xyz"}));
  EXPECT_FALSE(fs::exists(Locations.DesktopEntry)) << "an upgrade adds no launcher";
}

TEST_F(InstallerTest, FailuresAreReportedNotHidden) {
  // A foreign program in the way of the link is left alone and named.
  const std::string foreign = Folder.Write("home/.local/bin/tunevale", "someone else's");
  TInstaller installer = Installer();
  EXPECT_FALSE(installer.PerformInstall(installer.DefaultOptions(), false, true));
  EXPECT_EQ(test::ReadBytes(foreign), "someone else's");
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_NE(Messages[0].find("could not be installed"), std::string::npos);
  EXPECT_NE(Messages[0].find(foreign), std::string::npos);
  EXPECT_TRUE(Launcher.Started.empty());

  // Removal goes on past what it cannot remove and names it.
  Folder.Write("home/.config/Tunevale/Tunevale.conf/x", "a folder in place of the settings file");
  Messages.clear();
  const TUninstallReport report = installer.UninstallFinal();
  EXPECT_TRUE(report.ProgramRemoved);
  ASSERT_EQ(report.Failures.size(), 1u);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_NE(Messages[0].find(Locations.KeyStorePath), std::string::npos);
  EXPECT_FALSE(fs::exists(Locations.ApplicationEntry));

  Messages.clear();
  EXPECT_FALSE(installer.UninstallFinal().ProgramRemoved) << "nothing installed any more";
  EXPECT_NE(Messages.at(0).find("could not be uninstalled"), std::string::npos);
}

class TChoosingView : public TMaintenanceView {
 public:
  void ShowMessage(const std::string& text, TMessageKind) override { Messages.push_back(text); }
  bool AssociateFileTypes(std::vector<TFileTypeChoice>& choices, bool& makeDefault) override {
    Offered = choices;
    for (TFileTypeChoice& choice : choices)
      choice.Checked = choice.Extension == "xyz" || choice.Extension == "mp3";
    makeDefault = true;
    return true;
  }
  std::vector<TFileTypeChoice> Offered;
  std::vector<std::string> Messages;
};

TEST_F(InstallerTest, SetAssocOffersTheGivenCustomTypesAndAppliesTheChoice) {
  TInstallRecord record;
  record.FileTypes = {"avi"};
  ASSERT_TRUE(WriteInstallRecord(Locations.RecordPath, record, ""));
  TChoosingView view;
  TMaintenanceContext context{InitPaths(Env(), Exe), Env(), Players, Launcher, Mime, nullptr, view};
  EXPECT_EQ(RunMaintenance(saSetAssoc, {"/setassoc", "xyz,a;b", "", ""}, context), 0);
  EXPECT_TRUE(view.Messages.empty()) << testing::PrintToString(view.Messages);
  std::vector<std::string> offered;
  for (const TFileTypeChoice& choice : view.Offered) {
    offered.push_back(choice.Extension);
    EXPECT_EQ(choice.Checked, choice.Extension == "avi") << choice.Extension;
  }
  EXPECT_TRUE(std::is_sorted(offered.begin(), offered.end()));
  EXPECT_NE(std::find(offered.begin(), offered.end(), "xyz"), offered.end());
  EXPECT_EQ(std::find(offered.begin(), offered.end(), "a;b"), offered.end());
  EXPECT_EQ(ReadInstallRecord(Locations.RecordPath).FileTypes, (std::vector<std::string>{"mp3", "xyz"}));
  const std::string entry = test::ReadBytes(Locations.ApplicationEntry);
  EXPECT_NE(entry.find("\nMimeType=audio/mpeg;application/x-tunevale-xyz;\nNoDisplay=true\n"),
            std::string::npos)
      << entry;
  EXPECT_NE(entry.find("Exec=\"" + Exe + "\" %U"), std::string::npos) << "a copy not installed runs itself";
  EXPECT_EQ(DefaultFor("audio/mpeg"), DesktopEntryId);
}

TEST_F(InstallerTest, StandaloneNeedsItsSettingsFile) {
  EXPECT_TRUE(Installer().RunStandalone(Folder / "home/Desktop"));
  EXPECT_TRUE(fs::exists(Folder / "download/Tunevale.ini"));
  const std::string cached = Folder.Write("Temporary Internet Files/tunevale", "cached");
  EXPECT_TRUE(Installer(cached).RunStandalone(Folder / "home/Desktop"));
  EXPECT_EQ(test::ReadBytes(Folder / "home/Desktop/tunevale"), "cached");
  EXPECT_TRUE(fs::exists(Folder / "home/Desktop/Tunevale.ini"));
  EXPECT_EQ(Launcher.Started, (std::vector<std::string>{Exe, Folder / "home/Desktop/tunevale"}));
  // A folder where the file cannot be made: a message, nothing started, the wizard stays.
  Messages.clear();
  EXPECT_FALSE(Installer("/proc/self/tunevale").RunStandalone(Folder / "home/Desktop"));
  EXPECT_EQ(Launcher.Started.size(), 2u);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_NE(Messages[0].find("settings file"), std::string::npos);
}

}  // namespace
}  // namespace tunevale
