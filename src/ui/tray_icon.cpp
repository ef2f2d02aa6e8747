#include "ui/tray_icon.h"

#include <QSystemTrayIcon>

#include "ui/glyphs.h"

namespace tunevale {

namespace {

TTrayClick ClickOf(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::DoubleClick:
      return tcDouble;
    case QSystemTrayIcon::Context:
      return tcContext;
    case QSystemTrayIcon::MiddleClick:
      return tcMiddle;
    default:
      return tcSingle;
  }
}

}  // namespace

TTrayIcon::TTrayIcon(TTrayIconRules rules, QObject* parent)
    : QObject(parent),
      AvailableCheck(&QSystemTrayIcon::isSystemTrayAvailable),
      IconRules(std::move(rules)),
      TrayIcon(new QSystemTrayIcon(this)) {
  TrayIcon->setIcon(GlyphIcon(TGlyph::Play));
  if (!IconRules.SetTip)
    IconRules.SetTip = [this](const std::string& tip) { TrayIcon->setToolTip(QString::fromStdString(tip)); };
  connect(TrayIcon, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) { IconRules.Clicked(ClickOf(reason)); });
}

void TTrayIcon::SetVisible(bool visible) {
  if (visible) IconRules.MainWindowShown(true);
  TrayIcon->setVisible(visible);
}

}  // namespace tunevale
