// The check list of file types shared by the wizard and the association
// dialog, with its "Select all" and "Select none" buttons.
#pragma once

#include <QWidget>
#include <vector>

#include "install/install_wizard.h"

class QListWidget;

namespace tunevale {

class TFileTypeList final : public QWidget {
 public:
  TFileTypeList(const std::vector<TFileTypeChoice>& choices, QWidget* parent);
  std::vector<TFileTypeChoice> Choices() const;
  void SelectAll(bool checked);
  QListWidget* List() const { return Items; }

 private:
  QListWidget* Items;
};

}  // namespace tunevale
