// The installation wizard and the file type dialogs under offscreen Qt, over
// a real installer in a private home.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <filesystem>

#include "install/install_fixture.h"
#include "install/installer.h"
#include "support/offscreen_application.h"
#include "ui/custom_filetypes_form.h"
#include "ui/installation_form.h"
#include "ui/update_form.h"

namespace tunevale {
namespace {

class NoMime : public TMimeTypeDatabase {
  std::string TypeForExtension(std::string_view) const override { return {}; }
};

class InstallDialogsTest : public ::testing::Test, protected test::THome {
 protected:
  static void SetUpTestSuite() { test::StartOffscreenApplication(); }
  InstallDialogsTest() : Locations(TInstallLocations::For(Env())) {}

  TInstaller Installer(const std::string& exe) {
    TInstallPorts ports{Players, Launcher, Mime, nullptr,
                        [this](const std::string& text, TMessageKind) { Messages.push_back(text); }};
    return TInstaller(Locations, ports, Extensions, exe, "");
  }

  TInstallLocations Locations;
  TFileExtensions Extensions;
  NoMime Mime;
  test::TRecordingLauncher Launcher;
  test::TNoPlayers Players;
  std::vector<std::string> Messages;
};

TEST_F(InstallDialogsTest, TheWizardStaysWhenItCannotMakeThisCopyPortable) {
  TInstaller installer = Installer("/proc/self/tunevale");
  TInstallationForm form(installer, Folder / "home/Desktop");
  form.StandaloneButton()->setChecked(true);
  EXPECT_EQ(form.NextButton()->text(), "Run");
  EXPECT_FALSE(form.AdvancedCheckBox()->isEnabled());
  form.NextButton()->click();
  EXPECT_EQ(Messages.size(), 1u);
  EXPECT_NE(form.result(), QDialog::Accepted);
  EXPECT_TRUE(Launcher.Started.empty());

  TInstaller writable = Installer(Folder.Write("dl/tunevale", "program"));
  TInstallationForm again(writable, Folder / "home/Desktop");
  again.StandaloneButton()->setChecked(true);
  again.NextButton()->click();
  EXPECT_EQ(again.result(), QDialog::Accepted);
  EXPECT_EQ(Launcher.Started, std::vector<std::string>{Folder / "dl/tunevale"});
}

TEST_F(InstallDialogsTest, TheWizardInstallsAfterTheDefaultPlayerQuestion) {
  TInstaller installer = Installer(Folder.Write("dl/tunevale", "program"));
  TInstallationForm form(installer, Folder / "home/Desktop");
  int asked = 0;
  form.AskMakeDefault = [&] { return ++asked == 1 ? -1 : 0; };
  form.NextButton()->click();
  EXPECT_NE(form.result(), QDialog::Accepted) << "cancelled at the question";
  EXPECT_FALSE(std::filesystem::exists(Folder / "home/.local/opt/Tunevale/tunevale"));

  form.AdvancedCheckBox()->setChecked(true);
  form.NextButton()->click();
  EXPECT_EQ(form.Pages()->currentIndex(), 1);
  EXPECT_TRUE(form.BackButton()->isEnabled());
  form.NextButton()->click();
  EXPECT_EQ(form.NextButton()->text(), "Install");
  form.NextButton()->click();
  EXPECT_EQ(form.result(), QDialog::Accepted) << testing::PrintToString(Messages);
  EXPECT_EQ(asked, 1) << "the file types page has its own default box";
  EXPECT_TRUE(std::filesystem::exists(Folder / "home/.local/opt/Tunevale/tunevale"));
  EXPECT_EQ(Launcher.Started, std::vector<std::string>{Folder / "home/.local/opt/Tunevale/tunevale"});
}

TEST_F(InstallDialogsTest, CustomFileTypesRefuseWhatIsNoExtension) {
  TMediaSettings settings;
  settings.CustomMusicExtensions = "xm";
  TCustomFiletypesForm form(settings, nullptr);
  std::vector<std::string> refusals;
  form.ShowRefusal = [&](const std::string& text) { refusals.push_back(text); };
  form.MusicEdit()->setText("xm, S3M ,it");
  form.VideoEdit()->setText("mkv;Exec=evil");
  form.accept();
  ASSERT_EQ(refusals.size(), 1u);
  EXPECT_NE(refusals[0].find("mkv;exec=evil"), std::string::npos);
  EXPECT_EQ(settings.CustomMusicExtensions, "xm") << "nothing taken while refused";
  EXPECT_NE(form.result(), QDialog::Accepted);
  form.VideoEdit()->setText("mkv");
  form.accept();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(settings.CustomMusicExtensions, "xm,s3m,it");
  EXPECT_EQ(settings.CustomVideoExtensions, "mkv");
}

TEST_F(InstallDialogsTest, TheUpdateDialogShowsTheNewVersion) {
  TUpdateForm form(
      {"2.0.0.19", "Big news", "first\nsecond"}, false, "http://site/changelog.html",
      [](const std::string&) {}, nullptr);
  EXPECT_EQ(form.VersionLabel()->text(), "Big news");
  EXPECT_EQ(form.Memo()->toPlainText(), "first\nsecond");
  EXPECT_EQ(form.InstallButton()->text(), "Download");
}

}  // namespace
}  // namespace tunevale
