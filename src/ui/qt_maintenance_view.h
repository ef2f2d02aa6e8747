// What the maintenance passes show, as message boxes and the association dialog.
#pragma once

#include "install/maintenance.h"

namespace tunevale {

class TQtMaintenanceView final : public TMaintenanceView {
 public:
  void ShowMessage(const std::string& text, TMessageKind kind) override;
  bool AssociateFileTypes(std::vector<TFileTypeChoice>& choices, bool& makeDefault) override;
};

}  // namespace tunevale
