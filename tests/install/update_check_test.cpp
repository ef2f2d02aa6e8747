// The update check against a real local HTTP server.
#include "install/update_check.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "install/install_fixture.h"
#include "platform/curl_http_client.h"
#include "playlist/local_http_server.h"
#include "support/fake_runtime.h"

namespace tunevale {
namespace {

namespace fs = std::filesystem;

class TRecordingView : public TUpdateView {
 public:
  void ShowUpdateMessage(const std::string& text) override { Messages.push_back(text); }
  bool ShowUpdateDialog(const TVersionText& version, bool installed, const std::string&) override {
    Dialogs.push_back(version);
    InstallButton = installed;
    return Accept;
  }
  std::vector<std::string> Messages;
  std::vector<TVersionText> Dialogs;
  bool Accept = false;
  bool InstallButton = false;
};

class UpdateCheckTest : public ::testing::Test {
 protected:
  UpdateCheckTest() {
    Settings.UpdateSite = Server.Url("/site/");
    Paths.ExePath = "/proc/self/exe";
    Program = test::ReadBytes("/bin/true");
  }
  TUpdater Updater() {
    TUpdater updater({Http, Launcher, Runtime, View}, Settings, Paths, Temp.Path());
    updater.Limits.LowSpeedTimeS = 1;  // a stalled server is given up soon
    return updater;
  }
  TUpdateCheckOutcome Check(bool manual) {
    Settings.LastUpdateCheck = 0;
    const TUpdateCheckOutcome outcome = Updater().CheckForUpdatesActionExecute(manual);
    EXPECT_EQ(Settings.LastUpdateCheck, Runtime.Now()) << "the check time moves whatever the outcome";
    return outcome;
  }

  test::TLocalHttpServer Server;
  test::TFakeRuntime Runtime;
  TCurlHttpClient Http{Runtime, UpdaterUserAgent};
  test::TRecordingLauncher Launcher;
  TRecordingView View;
  test::TTempFolder Temp;
  TSettings Settings;
  TAppPaths Paths;
  std::string Program;
};

TEST(VersionTextTest, PartsAndBuildNumbers) {
  const TVersionText text = ParseVersionText("2.0.0.19\r\nNew\nthings\r\nfirst\r\nsecond\n");
  EXPECT_EQ(text.Version, "2.0.0.19");
  EXPECT_EQ(text.Headline, "Newthings");
  EXPECT_EQ(text.Changes, "first\r\nsecond\n");
  EXPECT_EQ(ParseVersionText("2.0.0.19\n").Version, "2.0.0.19");
  EXPECT_EQ(ParseVersionText("2.0.0.19\nNew\n").Version, "2.0.0.19New");
  const struct {
    const char* Version;
    std::optional<int32_t> Build;
  } cases[] = {{"2.0.0.18", 18}, {"2.1.0.0", 0}, {"3.0.0.19", 19},          {"19", 19},
               {"", {}},         {"2.0.0.", {}}, {"2.0.0.99999999999", {}}, {"<html>1.2</html>", {}}};
  for (const auto& c : cases) EXPECT_EQ(VersionBuildNumber(c.Version), c.Build) << c.Version;
}

TEST_F(UpdateCheckTest, OnlyAUsableVersionTextCounts) {
  const struct {
    int Status;
    const char* Body;
    TUpdateCheckOutcome Outcome;
    const char* Said;  // by a manual check
  } cases[] = {
      {200, "2.0.0.18", ucLatest, "You have the latest version of Tunevale."},
      {200, "2.1.0.0\r\nOnly the build counts\r\n", ucLatest, "You have the latest version of Tunevale."},
      {404, "2.0.0.19", ucFailed, "Tunevale could not check for updates."},
      {500, "2.0.0.19\r\nServer error page\r\n", ucFailed, "Tunevale could not check for updates."},
      {200, "<html><body>Moved</body></html>", ucFailed, "Tunevale could not check for updates."},
      {200, "2.0.0.99999999999", ucFailed, "Tunevale could not check for updates."},
  };
  for (const auto& c : cases) {
    Server.Serve("/site/CurrentVersion.txt", c.Status, c.Body);
    View.Messages.clear();
    EXPECT_EQ(Check(false), c.Outcome) << c.Body;
    EXPECT_TRUE(View.Messages.empty()) << "the daily check only tells of a newer version: " << c.Body;
    EXPECT_EQ(Check(true), c.Outcome) << c.Body;
    ASSERT_EQ(View.Messages.size(), 1u) << c.Body;
    EXPECT_EQ(View.Messages[0].rfind(c.Said, 0), 0u) << View.Messages[0];
  }
  EXPECT_TRUE(View.Dialogs.empty());
  const std::string head = Server.LastRequest();
  EXPECT_NE(head.find("GET /site/CurrentVersion.txt "), std::string::npos) << head;
  EXPECT_NE(head.find("\r\nUser-Agent: Tunevale Updater\r\n"), std::string::npos) << head;
  EXPECT_NE(head.find("\r\nCache-Control: no-cache\r\n"), std::string::npos) << head;

  Server.Serve("/site/CurrentVersion.txt", 200, "2.0.0.19\r\n" + std::string(VersionTextMaxBytes, 'x'));
  EXPECT_EQ(Check(true), ucFailed) << "a version text is small";
  Server.ServeStall("/site/CurrentVersion.txt");
  EXPECT_EQ(Check(true), ucFailed) << "a stalled server is given up";
  Settings.UpdateSite.clear();
  const int requests = Server.Requests();
  EXPECT_EQ(Check(true), ucFailed);
  EXPECT_EQ(Server.Requests(), requests);
}

TEST_F(UpdateCheckTest, ANewerVersionShowsTheDialogAndLaterDoesNothing) {
  Server.Serve("/site/CurrentVersion.txt", 200, "3.0.0.19\r\nBig news\r\nfirst\r\nsecond");
  EXPECT_EQ(Check(false), ucNewer);
  ASSERT_EQ(View.Dialogs.size(), 1u);
  EXPECT_EQ(View.Dialogs[0].Headline, "Big news");
  EXPECT_EQ(View.Dialogs[0].Changes, "first\r\nsecond");
  EXPECT_FALSE(View.InstallButton) << "a portable copy offers the download";
  EXPECT_TRUE(Launcher.Started.empty());
  View.Accept = true;
  Check(true);
  EXPECT_EQ(Launcher.Started, std::vector<std::string>{"xdg-open " + Server.Url("/site/download.html")});
}

TEST_F(UpdateCheckTest, OnlyACompleteProgramForThisMachineIsStarted) {
  std::string otherMachine = Program;
  otherMachine[18] = char(otherMachine[18] + 1);
  const struct {
    const char* Name;
    int Status;
    std::string Body;
    bool CutShort;
  } refused[] = {
      {"not found", 404, Program, false},
      {"error page", 200, "<html>error</html>", false},
      {"cut short", 200, Program, true},
      {"truncated", 200, Program.substr(0, Program.size() / 2), false},
      {"other machine", 200, otherMachine, false},
  };
  Paths.IsInstalled = true;
  for (const auto& c : refused) {
    test::TLocalHttpServer::TRoute route(c.Status, c.Body);
    route.CutShort = c.CutShort;
    Server.Route("/site/Tunevale.exe", route);
    View.Messages.clear();
    EXPECT_FALSE(Updater().DownloadAndUpgrade()) << c.Name;
    ASSERT_EQ(View.Messages.size(), 1u) << c.Name;
    EXPECT_EQ(View.Messages[0].rfind("Tunevale could not download the newer version.", 0), 0u) << c.Name;
  }
  EXPECT_TRUE(Launcher.Started.empty());
  EXPECT_TRUE(fs::is_empty(Temp.Path())) << "nothing refused stays behind";

  // Accepting the dialog of an installed copy downloads and starts the upgrade.
  Server.Serve("/site/CurrentVersion.txt", 200, "2.0.0.19");
  Server.Serve("/site/Tunevale.exe", 200, Program);
  View.Accept = true;
  EXPECT_EQ(Check(false), ucNewer);
  EXPECT_TRUE(View.InstallButton);
  ASSERT_EQ(Launcher.Started.size(), 1u);
  const std::string started = Launcher.Started[0];
  const std::string saved = started.substr(0, started.size() - std::string(" /upgrade").size());
  EXPECT_EQ(started, saved + " /upgrade");
  EXPECT_EQ(fs::path(saved).parent_path().parent_path(), Temp.Path());
  EXPECT_EQ(test::THome::Mode(fs::path(saved).parent_path()), 0700u) << "a private folder";
  EXPECT_EQ(test::ReadBytes(saved), Program);
}

}  // namespace
}  // namespace tunevale
