// The main window under offscreen Qt over a headless player: a fake engine
// and clock, real files for the entries and the settings.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include "app/player.h"
#include "playback/fake_filter_graph.h"
#include "support/canned_http.h"
#include "support/fake_runtime.h"
#include "support/mp3_file.h"
#include "support/offscreen_application.h"
#include "support/portable_paths.h"
#include "support/temp_folder.h"
#include "ui/main_form.h"

// Qt texts in test messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace tunevale::test {

class MainFormTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartOffscreenApplication(); }

  MainFormTest() {
    Runtime.ClockMs = 1000000;
    Paths = PortablePaths(Folder);
    Files.push_back(Folder.Write("media/a.mp3", MakeMp3({"Dancing", "Abba", "Abba", "Gold", "1", "1992"})));
    Files.push_back(
        Folder.Write("media/b.mp3", MakeMp3({"Maria", "Blondie", "Blondie", "Parallel", "1", "1999"})));
    Files.push_back(Folder.Write("media/c.mp3", "x"));
  }

  TMainForm& Start(const std::vector<std::string>& files) {
    Player = std::make_unique<TPlayer>(
        TPlayerPorts{Runtime, Graph, Http, nullptr, nullptr, nullptr, DesktopPort}, Paths);
    Form = std::make_unique<TMainForm>(*Player, nullptr);
    Player->Create(files);
    Form->show();
    Player->AfterShow();
    Player->WaitForLibrary();
    return *Form;
  }

  template <class W>
  W* Child(const char* name) {
    W* w = Form->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  QString Text(const char* label) { return Child<QLabel>(label)->text(); }

  static void Mouse(QWidget* w, QEvent::Type type) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }

  TTempFolder Folder;
  TFakeRuntime Runtime;
  TFakeFilterGraph Graph;
  test::TCannedHttp Http;
  TDesktop* DesktopPort = nullptr;  // none unless a test sets one before Start
  TAppPaths Paths;
  std::vector<std::string> Files;
  std::unique_ptr<TPlayer> Player;
  std::unique_ptr<TMainForm> Form;
};

}  // namespace tunevale::test
