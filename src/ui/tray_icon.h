// The notification-area icon (a StatusNotifierItem where the desktop has a
// watcher, else the X tray; Qt picks). Its tip and click rules are
// TTrayIconRules'; this only connects them to Qt.
#pragma once

#include <QObject>
#include <functional>

#include "app/tray_icon_rules.h"

class QSystemTrayIcon;

namespace tunevale {

class TTrayIcon final : public QObject {
 public:
  TTrayIcon(TTrayIconRules rules, QObject* parent);

  QSystemTrayIcon& Icon() const { return *TrayIcon; }
  const TTrayIconRules& Rules() const { return IconRules; }
  // Shown from the main window's first show until it closes.
  void SetVisible(bool visible);
  void MainWindowShown(bool shown) { IconRules.MainWindowShown(shown); }
  // Whether the desktop shows tray icons now; a test may stand in for the desktop.
  bool Available() const { return AvailableCheck(); }
  std::function<bool()> AvailableCheck;

 private:
  TTrayIconRules IconRules;
  QSystemTrayIcon* TrayIcon = nullptr;
};

}  // namespace tunevale
