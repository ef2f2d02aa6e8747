// One QApplication for a widget test program, on the offscreen platform or the one given.
#pragma once

#include <QApplication>

namespace tunevale::test {

inline void StartApplication(const char* platform) {
  qputenv("QT_QPA_PLATFORM", platform);
  static int argc = 1;
  static char name[] = "tunevale-tests";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

inline void StartOffscreenApplication() { StartApplication("offscreen"); }

}  // namespace tunevale::test
