// The wizard's pages, captions and steps without its window.
#include "install/install_wizard.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

TEST(InstallWizardTest, NextFollowsTheChoices) {
  TInstallOptions defaults;
  defaults.FileTypes = {"mp3", "avi"};
  TInstallWizard wizard(defaults);
  EXPECT_EQ(wizard.NextCaption(), "Install");
  EXPECT_FALSE(wizard.BackEnabled());
  wizard.Install = false;
  EXPECT_EQ(wizard.NextCaption(), "Run");
  EXPECT_FALSE(wizard.AdvancedEnabled());
  EXPECT_EQ(wizard.Next(), wsRunStandalone);
  wizard.Install = true;
  EXPECT_EQ(wizard.Next(), wsAskDefaultThenInstall);
  EXPECT_EQ(wizard.Page(), wpInstallOrStandalone);

  wizard.Advanced = true;
  EXPECT_EQ(wizard.NextCaption(), "Next");
  EXPECT_EQ(wizard.Next(), wsShowPage);
  EXPECT_EQ(wizard.Page(), wpConfigure);
  EXPECT_EQ(wizard.NextCaption(), "Next");
  EXPECT_TRUE(wizard.BackEnabled());
  EXPECT_EQ(wizard.Next(), wsShowPage);
  EXPECT_EQ(wizard.NextCaption(), "Install");
  wizard.FileTypes[0].Checked = false;
  EXPECT_EQ(wizard.Next(), wsInstall);
  EXPECT_EQ(wizard.ChosenOptions().FileTypes, std::vector<std::string>{"avi"});
  for (int page = 0; page < 3; ++page) wizard.Back();
  EXPECT_EQ(wizard.Page(), wpInstallOrStandalone);
  EXPECT_EQ(TInstallWizard::BrowsedLocation("/opt/"), "/opt/Tunevale");
}

}  // namespace
}  // namespace tunevale
