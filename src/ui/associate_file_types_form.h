// "Associate file types": the sorted list of every known extension, checked
// where associated, and whether to become the default player for them.
#pragma once

#include <vector>

#include "ui/file_type_list.h"
#include "ui/tessel_ok_cancel_dialog_form.h"

class QCheckBox;

namespace tunevale {

class TAssociateFileTypesForm final : public TTesselOKCancelDialogForm {
 public:
  TAssociateFileTypesForm(const std::vector<TFileTypeChoice>& choices, QWidget* owner);
  std::vector<TFileTypeChoice> Choices() const { return FileTypes->Choices(); }
  bool MakeDefault() const;
  TFileTypeList* List() const { return FileTypes; }
  QCheckBox* DefaultCheckBox() const { return Default; }

 private:
  TFileTypeList* FileTypes;
  QCheckBox* Default;
};

}  // namespace tunevale
