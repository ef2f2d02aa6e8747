#include "ui/associate_file_types_form.h"

#include <QCheckBox>
#include <QLabel>

namespace tunevale {

TAssociateFileTypesForm::TAssociateFileTypesForm(const std::vector<TFileTypeChoice>& choices, QWidget* owner)
    : TTesselOKCancelDialogForm(owner),
      FileTypes(new TFileTypeList(choices, this)),
      Default(new QCheckBox("Also make Tunevale the default player for these files", this)) {
  setWindowTitle("Associate file types");
  setFixedSize(320, 380);
  auto* label = new QLabel("Choose the file types you want to open with Tunevale", this);
  label->setGeometry(12, 10, 296, 18);
  FileTypes->setGeometry(12, 32, 296, 272);
  Default->setGeometry(12, 308, 296, 22);
}

bool TAssociateFileTypesForm::MakeDefault() const { return Default->isChecked(); }

}  // namespace tunevale
