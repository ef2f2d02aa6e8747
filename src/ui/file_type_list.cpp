#include "ui/file_type_list.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunevale {

TFileTypeList::TFileTypeList(const std::vector<TFileTypeChoice>& choices, QWidget* parent)
    : QWidget(parent), Items(new QListWidget(this)) {
  for (const TFileTypeChoice& choice : choices) {
    auto* item = new QListWidgetItem(QString::fromStdString(choice.Extension), Items);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(choice.Checked ? Qt::Checked : Qt::Unchecked);
  }
  auto* all = new QPushButton("Select all", this);
  auto* none = new QPushButton("Select none", this);
  connect(all, &QPushButton::clicked, this, [this] { SelectAll(true); });
  connect(none, &QPushButton::clicked, this, [this] { SelectAll(false); });
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(all);
  buttons->addWidget(none);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Items, 1);
  layout->addLayout(buttons);
}

std::vector<TFileTypeChoice> TFileTypeList::Choices() const {
  std::vector<TFileTypeChoice> choices;
  for (int i = 0; i < Items->count(); ++i)
    choices.push_back({Items->item(i)->text().toStdString(), Items->item(i)->checkState() == Qt::Checked});
  return choices;
}

void TFileTypeList::SelectAll(bool checked) {
  for (int i = 0; i < Items->count(); ++i)
    Items->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace tunevale
