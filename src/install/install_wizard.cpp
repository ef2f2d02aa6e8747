#include "install/install_wizard.h"

#include "util/path.h"

namespace tunevale {

TInstallWizard::TInstallWizard(const TInstallOptions& defaults) : Options(defaults) {
  for (const std::string& ext : defaults.FileTypes) FileTypes.push_back({ext, true});
  Options.FileTypes.clear();
}

std::string TInstallWizard::NextCaption() const {
  if (CurrentPage == wpConfigure) return "Next";
  if (CurrentPage == wpFileTypes) return "Install";
  if (!Install) return "Run";
  return Advanced ? "Next" : "Install";
}

TWizardStep TInstallWizard::Next() {
  if (CurrentPage == wpInstallOrStandalone) {
    if (!Install) return wsRunStandalone;
    if (!Advanced) return wsAskDefaultThenInstall;
  }
  if (CurrentPage == wpFileTypes) return wsInstall;
  ++CurrentPage;
  return wsShowPage;
}

void TInstallWizard::Back() {
  if (CurrentPage > wpInstallOrStandalone) --CurrentPage;
}

void TInstallWizard::SelectAll(bool checked) {
  for (TFileTypeChoice& choice : FileTypes) choice.Checked = checked;
}

TInstallOptions TInstallWizard::ChosenOptions() const {
  TInstallOptions options = Options;
  for (const TFileTypeChoice& choice : FileTypes)
    if (choice.Checked) options.FileTypes.push_back(choice.Extension);
  return options;
}

std::string TInstallWizard::BrowsedLocation(const std::string& folder) {
  return IncludeTrailingSlash(folder) + "Tunevale";
}

}  // namespace tunevale
