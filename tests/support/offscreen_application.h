// One QApplication for a widget test program, on the offscreen platform.
#pragma once

#include <QApplication>

namespace tunevale::test {

inline void StartOffscreenApplication() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "tunevale-tests";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

}  // namespace tunevale::test
