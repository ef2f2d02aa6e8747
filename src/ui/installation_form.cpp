#include "ui/installation_form.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/player.h"
#include "ui/file_type_list.h"

namespace tunevale {

namespace {

QLabel* Heading(const char* text, QWidget* page) {
  auto* label = new QLabel(text, page);
  QFont font = label->font();
  font.setPointSize(font.pointSize() + 3);
  label->setFont(font);
  label->setWordWrap(true);
  return label;
}

QLabel* Note(const char* text, QWidget* page) {
  auto* label = new QLabel(text, page);
  label->setWordWrap(true);
  label->setContentsMargins(20, 0, 0, 8);
  return label;
}

QCheckBox* CheckBox(const char* text, bool checked, bool& target, QWidget* page) {
  auto* box = new QCheckBox(text, page);
  box->setChecked(checked);
  QObject::connect(box, &QCheckBox::toggled, page, [&target](bool on) { target = on; });
  return box;
}

int AskWithMessageBox(QWidget* parent) {
  const auto answer = QMessageBox::question(
      parent, "Tunevale", "Do you want to make Tunevale the default player for all file types?",
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  return answer == QMessageBox::Yes ? 1 : answer == QMessageBox::No ? 0 : -1;
}

}  // namespace

TInstallationForm::TInstallationForm(TInstaller& installer, std::string desktopDir)
    : TTesselDialogForm(nullptr),
      Installer(installer),
      DesktopDir(std::move(desktopDir)),
      State(installer.DefaultOptions()) {
  setWindowTitle(ApplicationTitle);
  setFixedSize(460, 340);
  PageStack = new QStackedWidget(this);
  PageStack->setGeometry(16, 12, width() - 32, height() - BandHeight - 20);
  PageStack->addWidget(CreateChoicePage());
  PageStack->addWidget(CreateConfigurePage());
  PageStack->addWidget(CreateFileTypesPage());
  CreateBand();
  AskMakeDefault = [this] { return AskWithMessageBox(this); };
  UpdateButtons();
}

QWidget* TInstallationForm::CreateChoicePage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(Heading("Do you want to install Tunevale or run this program standalone?", page));
  auto* install = new QRadioButton("Install Tunevale", page);
  Standalone = new QRadioButton("Run Tunevale standalone", page);
  for (QRadioButton* radio : {install, Standalone}) {
    QFont bold = radio->font();
    bold.setBold(true);
    radio->setFont(bold);
  }
  install->setChecked(true);
  layout->addWidget(install);
  layout->addWidget(
      Note("Installing Tunevale will let you choose to create shortcuts and associate file types "
           "with Tunevale. Recommended for normal use.",
           page));
  layout->addWidget(Standalone);
  layout->addWidget(
      Note("Running Tunevale standalone will make it portable, so you can keep it on a portable "
           "device (like a USB stick) without losing your settings.",
           page));
  Advanced = CheckBox("Advanced options", false, State.Advanced, page);
  layout->addWidget(Advanced);
  layout->addStretch();
  connect(install, &QRadioButton::toggled, this, [this](bool on) {
    State.Install = on;
    UpdateButtons();
  });
  connect(Advanced, &QCheckBox::toggled, this, [this] { UpdateButtons(); });
  return page;
}

QWidget* TInstallationForm::CreateConfigurePage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(Heading("Configure the installation options", page));
  layout->addWidget(new QLabel("Choose the install location for Tunevale:", page));
  auto* row = new QHBoxLayout;
  Location = new QLineEdit(QString::fromStdString(State.Options.Location), page);
  connect(Location, &QLineEdit::textChanged, this,
          [this](const QString& text) { State.Options.Location = text.toStdString(); });
  auto* browse = new QPushButton("Browse...", page);
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString folder =
        QFileDialog::getExistingDirectory(this, "Select the folder where you want to install Tunevale");
    if (!folder.isEmpty())
      Location->setText(QString::fromStdString(TInstallWizard::BrowsedLocation(folder.toStdString())));
  });
  row->addWidget(Location, 1);
  row->addWidget(browse);
  layout->addLayout(row);
  TInstallOptions& o = State.Options;
  layout->addWidget(CheckBox("Create start menu shortcut", o.StartMenuShortcut, o.StartMenuShortcut, page));
  layout->addWidget(
      CheckBox("Create quick launch shortcut", o.QuickLaunchShortcut, o.QuickLaunchShortcut, page));
  layout->addWidget(CheckBox("Create desktop shortcut", o.DesktopShortcut, o.DesktopShortcut, page));
  layout->addStretch();
  return page;
}

QWidget* TInstallationForm::CreateFileTypesPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(Heading("Choose the file types you want to open with Tunevale", page));
  FileTypes = new TFileTypeList(State.FileTypes, page);
  layout->addWidget(FileTypes, 1);
  layout->addWidget(CheckBox("Also make Tunevale the default player for these files", false,
                             State.Options.MakeDefault, page));
  return page;
}

void TInstallationForm::CreateBand() {
  auto* version = new QLabel(VersionLabelText, this);
  version->setGeometry(12, height() - 23 - 9, 150, 23);
  version->setEnabled(false);
  auto* cancel = new QPushButton("Cancel", this);
  Back = new QPushButton("< Back", this);
  Next = new QPushButton("Next >", this);
  Next->setDefault(true);
  const int top = height() - 23 - 9;
  Back->setGeometry(width() - 3 * 75 - 22, top, 75, 23);
  Next->setGeometry(width() - 2 * 75 - 16, top, 75, 23);
  cancel->setGeometry(width() - 75 - 10, top, 75, 23);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Back, &QPushButton::clicked, this, [this] {
    State.Back();
    PageStack->setCurrentIndex(State.Page());
    UpdateButtons();
  });
  connect(Next, &QPushButton::clicked, this, [this] { NextClick(); });
}

void TInstallationForm::UpdateButtons() {
  Next->setText(QString::fromStdString(State.NextCaption()));
  Back->setEnabled(State.BackEnabled());
  Advanced->setEnabled(State.AdvancedEnabled());
}

void TInstallationForm::NextClick() {
  switch (State.Next()) {
    case wsShowPage:
      PageStack->setCurrentIndex(State.Page());
      break;
    case wsAskDefaultThenInstall: {
      const int answer = AskMakeDefault();
      if (answer < 0) return;
      State.Options.MakeDefault = answer == 1;
      Install();
      break;
    }
    case wsInstall:
      Install();
      break;
    case wsRunStandalone:
      if (Installer.RunStandalone(DesktopDir)) accept();
      break;
  }
  UpdateButtons();
}

void TInstallationForm::Install() {
  State.FileTypes = FileTypes->Choices();
  if (Installer.PerformInstall(State.ChosenOptions(), false, true)) accept();
}

}  // namespace tunevale
