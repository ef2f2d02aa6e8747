#include "ui/add_url_form.h"

#include <QLabel>
#include <QLineEdit>

namespace tunevale {

TAddURLForm::TAddURLForm(QWidget* owner) : TTesselOKCancelDialogForm(owner) {
  setObjectName("AddURLForm");
  setWindowTitle("Add URL");
  setFixedSize(330, 100);
  auto* label = new QLabel("Enter the URL of the file you want to play.", this);
  label->setGeometry(10, 8, 310, 16);
  URLEdit = new QLineEdit(this);
  URLEdit->setObjectName("URLEdit");
  URLEdit->setGeometry(10, 28, 310, 22);
}

std::string TAddURLForm::FileURL() const { return URLEdit->text().toStdString(); }

void TAddURLForm::showEvent(QShowEvent* event) {
  TTesselOKCancelDialogForm::showEvent(event);
  PlaceBesideOwner();
}

}  // namespace tunevale
