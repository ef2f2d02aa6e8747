// Skins on the strip and the tray window; the about box and the introduction.
#include <QBuffer>
#include <QPushButton>
#include <QTimer>

#include "main_form_fixture.h"
#include "support/skin_bytes.h"
#include "ui/introduction_form.h"
#include "ui/main_actions.h"
#include "ui/skin_picture.h"
#include "ui/track_info_panel.h"
#include "ui/tray_form.h"
#include "ui/tray_icon.h"

namespace tunevale::test {
namespace {

using SkinsDialogsTest = MainFormTest;

QByteArray Bmp(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes;
}

TEST_F(SkinsDialogsTest, SkinPaintsTheStripAndTheTrayBackdropUntilReset) {
  TMainForm& form = Start(Files);
  QImage green(8, 8, QImage::Format_RGB32);
  green.fill(Qt::green);
  const std::string skin = Folder.Write(
      "a.tvlskin", SkinBytes({SkinSection("TOP", "BMP"), SkinSection("BMP", Bmp(green).toStdString()),
                              SkinSection("IBV", "clBlue"), SkinSection("BGT", "\x01")}));
  Player->LoadSkin(skin);
  const auto strip = [&](int x, int y) { return form.TrackInfoPanel().grab().toImage().pixelColor(x, y); };
  EXPECT_EQ(strip(1, 1), QColor(Qt::blue)) << "fill inside the outline";
  EXPECT_EQ(strip(4, 30), QColor(Qt::green)) << "the picture, inset";

  form.TrayIcon().AvailableCheck = [] { return true; };
  form.Actions().Run("ShowHideAction");
  Runtime.Advance(1000);
  EXPECT_EQ(form.TrayForm().grab().toImage().pixelColor(3, 3), QColor(Qt::green));
  form.Actions().Run("ShowHideAction");

  form.Actions().Run("ResetSkinAction");
  EXPECT_EQ(strip(4, 30), QColor(0x6D, 0x83, 0xAC));
}

TEST(SkinPictureTest, ColoursInTheirByteOrderAndPicturesWithinTheLimit) {
  EXPECT_EQ(SkinPicture("$000000FF").pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(QtColour(0x00FF0000), QColor(Qt::blue));
  TTempFolder folder;
  // A header claiming 100000 x 100000 pixels and nothing behind it.
  QByteArray huge = Bmp(QImage(1, 1, QImage::Format_RGB32));
  for (const int at : {18, 22}) huge.replace(at, 4, "\xA0\x86\x01\x00", 4);  // width, height: 100000
  EXPECT_TRUE(SkinPicture(folder.Write("huge.bmp", huge.toStdString())).isNull());
}

TEST_F(SkinsDialogsTest, AboutShowsItsTexts) {
  TMainForm& form = Start({});
  QStringList texts;
  QTimer::singleShot(0, [&] {
    QWidget* about = QApplication::activeModalWidget();
    ASSERT_NE(about, nullptr);
    for (const char* name : {"TitleLabel", "VersionLabel", "VersionNumberLabel", "FreeLabel"})
      texts << about->findChild<QLabel*>(name)->text();
    about->findChild<QPushButton*>("CloseButton")->click();
  });
  form.Actions().Run("ShowAboutAction");
  EXPECT_EQ(texts, QStringList({"Tunevale", "Version 2 Beta 5", "2.0.0.18",
                                "Tunevale is free of charge.  If you payed for it, ask a refund! Of course, "
                                "donations are always welcome."}));
}

TEST(IntroductionTest, PagesLeadThroughAndEveryWayOutShowsTheMainWindow) {
  StartOffscreenApplication();
  for (const bool cancelOnFirstPage : {true, false}) {
    QWidget main;
    main.resize(270, 320);
    std::vector<int> settingsPages;
    TIntroductionForm intro(main, [&](int page) { settingsPages.push_back(page); },
                            {"lib", "faq", "help", {}});
    intro.show();
    EXPECT_FALSE(intro.NextButton().isVisible());
    if (cancelOnFirstPage) {
      intro.findChild<QPushButton*>("NoButton")->click();
      EXPECT_FALSE(intro.isVisible());
      EXPECT_TRUE(main.isVisible());
      continue;
    }
    intro.findChild<QPushButton*>("YesButton")->click();
    EXPECT_EQ(intro.PageIndex(), 1);
    ASSERT_TRUE(main.isVisible());
    EXPECT_LT(main.frameGeometry().right(), intro.frameGeometry().left()) << "the window to the left";
    EXPECT_EQ(main.frameGeometry().top(), intro.frameGeometry().top());
    intro.findChild<QPushButton*>("ConfigureLibraryButton")->click();
    EXPECT_EQ(settingsPages, std::vector<int>{2});
    intro.NextButton().click();
    intro.NextButton().click();
    EXPECT_EQ(intro.NextButton().text(), "OK :)");
    intro.PreviousButton().click();
    EXPECT_EQ(intro.PageIndex(), 2);
    EXPECT_EQ(intro.NextButton().text(), "Next");
    intro.NextButton().click();
    intro.NextButton().click();
    EXPECT_FALSE(intro.isVisible());
    EXPECT_TRUE(main.isVisible());
  }
}

}  // namespace
}  // namespace tunevale::test
