#include "ui/qt_maintenance_view.h"

#include "ui/associate_file_types_form.h"
#include "ui/message_box.h"

namespace tunevale {

void TQtMaintenanceView::ShowMessage(const std::string& text, TMessageKind kind) {
  ShowMessageBox(nullptr, text, kind);
}

bool TQtMaintenanceView::AssociateFileTypes(std::vector<TFileTypeChoice>& choices, bool& makeDefault) {
  TAssociateFileTypesForm form(choices, nullptr);
  if (form.exec() != QDialog::Accepted) return false;
  choices = form.Choices();
  makeDefault = form.MakeDefault();
  return true;
}

}  // namespace tunevale
