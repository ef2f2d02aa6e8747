#include "ui/update_form.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/link_label.h"

namespace tunevale {

namespace {

QLabel* Label(QWidget* parent, const QString& text, int top) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(16, top, 328, 18);
  return label;
}

}  // namespace

TUpdateForm::TUpdateForm(const TVersionText& version, bool installed, const std::string& changelogUrl,
                         std::function<void(const std::string&)> openUrl, QWidget* owner)
    : TTesselDialogForm(owner) {
  setWindowTitle("Tunevale");
  setFixedSize(360, 264);
  QLabel* title = Label(this, "There is a newer version of Tunevale available", 8);
  QFont titleFont = title->font();
  titleFont.setPointSize(12);
  title->setFont(titleFont);
  // 12 points may not fit on one line with the desktop's font.
  title->setWordWrap(true);
  title->setGeometry(16, 6, 328, 46);
  title->setStyleSheet("color: rgb(0, 51, 153);");
  Headline = Label(this, QString::fromStdString(version.Headline), 54);
  Label(this, "New features include:", 74);
  Changes = new QPlainTextEdit(QString::fromStdString(version.Changes), this);
  Changes->setReadOnly(true);
  Changes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Changes->setGeometry(16, 94, 328, 66);
  Label(this, "For the full list of changes, see the changelog:", 164);
  const QString url = QString::fromStdString(changelogUrl);
  auto* link = new TLinkLabel(
      url, url, [openUrl = std::move(openUrl)](const QString& target) { openUrl(target.toStdString()); },
      this);
  link->setGeometry(16, 182, 328, 18);

  Install = new QPushButton(installed ? "Install" : "Download", this);
  Install->setDefault(true);
  Install->setGeometry(width() - 2 * 75 - 16, height() - 23 - 9, 75, 23);
  auto* later = new QPushButton("Later", this);
  later->setGeometry(width() - 75 - 10, height() - 23 - 9, 75, 23);
  connect(Install, &QPushButton::clicked, this, &QDialog::accept);
  connect(later, &QPushButton::clicked, this, &QDialog::reject);
  PlaceBesideOwner();
}

}  // namespace tunevale
