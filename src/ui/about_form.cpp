#include "ui/about_form.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "app/player.h"
#include "app/settings.h"
#include "ui/app_icon.h"
#include "ui/link_label.h"

namespace tunevale {

namespace {

QLabel* Label(QWidget* parent, const char* name, const QString& text, QRect at) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(at);
  return label;
}

QPixmap DonationPicture() {
  QPixmap picture(92, 26);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QColor(0xC0, 0x8A, 0x00));
  painter.setBrush(QColor(0xFF, 0xC4, 0x39));
  painter.drawRoundedRect(QRectF(0.5, 0.5, 91, 25), 12, 12);
  QFont font = painter.font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(QColor(0x00, 0x33, 0x99));
  painter.drawText(picture.rect(), Qt::AlignCenter, "Donate");
  return picture;
}

}  // namespace

TAboutForm::TAboutForm(const QString& donationAddress, std::function<void(const QString&)> open,
                       QWidget* owner)
    : TTesselDialogForm(owner) {
  setWindowTitle("About");
  setFixedSize(340, 220);
  auto* icon = Label(this, "IconImage", "", {16, 16, 48, 48});
  icon->setPixmap(QPixmap::fromImage(AppIconImage(48)));
  QLabel* title = Label(this, "TitleLabel", ApplicationTitle, {80, 14, 244, 24});
  QFont titleFont = title->font();
  titleFont.setPointSize(12);
  title->setFont(titleFont);
  title->setStyleSheet("color: rgb(0, 51, 153);");
  Label(this, "VersionLabel", VersionLabelText, {80, 40, 244, 18});
  Label(this, "VersionNumberLabel", SettingsAppVersion, {80, 58, 244, 18});
  QLabel* free = Label(this, "FreeLabel",
                       "Tunevale is free of charge.  If you payed for it, ask a refund! "
                       "Of course, donations are always welcome.",
                       {80, 82, 244, 50});
  free->setWordWrap(true);
  free->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* donate = new TLinkLabel("", donationAddress, std::move(open), this);
  donate->setObjectName("DonateImage");
  donate->setPixmap(DonationPicture());
  donate->setGeometry(80, 136, 92, 26);
  auto* close = new QPushButton("Close", this);
  close->setObjectName("CloseButton");
  close->setGeometry(width() - 75 - 10, height() - 23 - 9, 75, 23);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace tunevale
