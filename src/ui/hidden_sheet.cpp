#include "ui/hidden_sheet.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <iterator>

#include "app/player.h"
#include "ui/main_actions.h"
#include "ui/tool_button.h"

namespace tunevale {

THiddenSheet::THiddenSheet(TPlayer& player, QWidget* parent) : QWidget(parent), Player(player) {
  setObjectName("TabSheet9");
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(
      "You have found the secret page.\n\nCongratulations.\n\nThis was a secret.\n\n"
      "Now tell everyone so it won't be a secret anymore.",
      this);
  text->setObjectName("SecretLabel");
  text->setWordWrap(true);
  layout->addWidget(text);
}

void THiddenSheet::AddActionButtons(TMainActions& actions, std::function<void()> loadSkin) {
  auto* loadSkinButton = new QPushButton("Load skin", this);
  loadSkinButton->setObjectName("LoadSkinButton");
  connect(loadSkinButton, &QPushButton::clicked, this, std::move(loadSkin));
  auto* clone = new QPushButton("Clone me", this);
  clone->setObjectName("CloneButton");
  connect(clone, &QPushButton::clicked, this, [this] { Player.StartForced(); });
  // Three to a row, so the text above still fits the window's design height.
  auto* buttons = new QGridLayout;
  buttons->setSpacing(4);
  QWidget* const all[] = {ActionButton(this, actions.Find("PlayDVDAction"), "Play DVD"),
                          ActionButton(this, actions.Find("StartCaptureAction"), "Capture"), loadSkinButton,
                          ActionButton(this, actions.Find("ResetSkinAction"), "Reset skin"), clone};
  for (int i = 0; i < int(std::size(all)); ++i) buttons->addWidget(all[i], i / 3, i % 3);
  auto* layout = static_cast<QVBoxLayout*>(this->layout());
  layout->addLayout(buttons);
  layout->addStretch(1);
}

}  // namespace tunevale
