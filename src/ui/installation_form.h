// The installation wizard of a copy that is neither installed nor portable:
// install (with advanced options: the folder, the launchers, the file types)
// or make this copy portable. It shows a TInstallWizard and carries out its
// steps through the installer; a failure keeps it open on its page.
#pragma once

#include <functional>
#include <string>

#include "install/install_wizard.h"
#include "ui/tessel_dialog_form.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace tunevale {

class TFileTypeList;

class TInstallationForm final : public TTesselDialogForm {
 public:
  // `desktopDir`: where a copy from a download cache moves to.
  TInstallationForm(TInstaller& installer, std::string desktopDir);

  // The question whether to become the default player: 1 yes, 0 no, -1
  // cancel (a message box unless replaced).
  std::function<int()> AskMakeDefault;

  TInstallWizard& Wizard() { return State; }
  QPushButton* NextButton() const { return Next; }
  QPushButton* BackButton() const { return Back; }
  QRadioButton* StandaloneButton() const { return Standalone; }
  QCheckBox* AdvancedCheckBox() const { return Advanced; }
  QStackedWidget* Pages() const { return PageStack; }

 private:
  QWidget* CreateChoicePage();
  QWidget* CreateConfigurePage();
  QWidget* CreateFileTypesPage();
  void CreateBand();
  void NextClick();
  void Install();
  void UpdateButtons();

  TInstaller& Installer;
  std::string DesktopDir;
  TInstallWizard State;
  QStackedWidget* PageStack = nullptr;
  QRadioButton* Standalone = nullptr;
  QCheckBox* Advanced = nullptr;
  QLineEdit* Location = nullptr;
  TFileTypeList* FileTypes = nullptr;
  QPushButton* Back = nullptr;
  QPushButton* Next = nullptr;
};

}  // namespace tunevale
