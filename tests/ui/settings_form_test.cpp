#include "ui/settings_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <fstream>
#include <sstream>

#include "main_form_fixture.h"
#include "ui/main_actions.h"

namespace tunevale::test {
namespace {

class SettingsFormTest : public MainFormTest {
 protected:
  TSettingsForm& Open(int page) {
    Form->ShowSettings(page);
    EXPECT_NE(Form->SettingsForm(), nullptr);
    return *Form->SettingsForm();
  }
};

TEST_F(SettingsFormTest, InstalledCopiesHaveTheInstallationPagePortableOnesTheRelativePathBox) {
  for (const bool installed : {false, true}) {
    Paths.IsInstalled = installed;
    Paths.KeyStorePath = Paths.AppDataDir + "Tunevale.conf";
    Start({});
    TSettingsForm& settings = Open(spLibraryFolders);
    QTabWidget& pages = settings.PageControl();
    EXPECT_EQ(pages.count(), 5);
    EXPECT_EQ(pages.isTabVisible(spInstallation), installed) << installed;
    EXPECT_EQ(pages.currentIndex(), spLibraryFolders);
    EXPECT_EQ(Child<QCheckBox>("RelativePathCheckBox")->isVisibleTo(&settings), !installed);
    Form.reset();
    Player.reset();
  }
}

TEST_F(SettingsFormTest, ChangesReachTheSettingsFileOnlyWithOK) {
  Start({});
  const TCrawlTasks& queue = Player->Library().CrawlTasks;
  const int queued = queue.Count();  // the start-up's own
  Form->Actions().Run("ShowSettingsAction");
  TSettingsForm* settings = &Open(spPlayer);
  Child<QSpinBox>("PictureDurationSpinEdit")->setValue(12);
  Child<QCheckBox>("ShowArtistCheckBox")->click();
  auto* openBehavior = Child<QComboBox>("OpenBehaviorComboBox");
  emit openBehavior->activated(2);
  settings->ChooseFolder = [] { return std::string("/x/music2"); };
  Child<QPushButton>("AddFolderButton")->click();
  // Shown again before it went: the same dialog with the edits.
  EXPECT_EQ(&Open(spOther), settings);
  EXPECT_EQ(Child<QSpinBox>("PictureDurationSpinEdit")->value(), 12);
  EXPECT_EQ(Player->Settings().PictureDuration, 7);
  EXPECT_EQ(queue.Count(), queued);

  settings->OKButton().click();
  std::stringstream ini;
  ini << std::ifstream(Paths.IniFilePath).rdbuf();
  for (const char* line :
       {"PictureDuration=12", "ShowArtistInPlaylist=1", "OpenBehavior=2", "LibraryFolder0=/x/music2"})
    EXPECT_NE(ini.str().find(line), std::string::npos) << line;
  ASSERT_EQ(queue.Count(), queued + 1);
  EXPECT_EQ(queue.Task(queued).Path, "/x/music2");
  Runtime.Advance(10);  // the heartbeat frees the hidden dialog
  EXPECT_EQ(Form->SettingsForm(), nullptr);
}

}  // namespace
}  // namespace tunevale::test
