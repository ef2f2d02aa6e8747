// The baseline of the start-up benchmark: a bare Qt Widgets program that
// shows an empty main window, marks it on standard error and ends.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.resize(270, 320);
  window.show();
  QTimer::singleShot(0, &window, [] {
    std::fputs("tunevale-startup: shown\n", stderr);
    QCoreApplication::quit();
  });
  return app.exec();
}
