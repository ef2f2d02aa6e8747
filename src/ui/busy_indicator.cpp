#include "ui/busy_indicator.h"

#include <QMenu>

#include "app/player.h"
#include "ui/glyphs.h"
#include "ui/tool_button.h"

namespace tunevale {

TBusyIndicator::TBusyIndicator(TPlayer& player, const char* name, std::function<void()> cancel,
                               QWidget* parent)
    : QToolButton(parent), Player(player), Cancel(std::move(cancel)) {
  SetUpToolButton(this, name, "", GlyphIcon(TGlyph::Busy, Qt::darkGray));
  hide();
  connect(this, &QToolButton::clicked, this, [this] { ShowCancelMenu(); });
}

void TBusyIndicator::SetBusy(bool busy, const std::string& text) {
  setToolTip(QString::fromStdString(text));
  setVisible(busy);
}

void TBusyIndicator::ShowCancelMenu() {
  QMenu menu(window());
  menu.addAction(toolTip())->setEnabled(false);
  menu.addSeparator();
  menu.addAction("Cancel", this, [this] { Player.Guarded(Cancel); });
  menu.exec(QCursor::pos());
}

}  // namespace tunevale
