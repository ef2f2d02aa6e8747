// The installation wizard's state without its widgets: the pages, the chosen
// options and what Next does. The window shows it and carries out the steps.
#pragma once

#include <string>
#include <vector>

#include "install/installer.h"

namespace tunevale {

enum TWizardPage : int { wpInstallOrStandalone = 0, wpConfigure = 1, wpFileTypes = 2 };

// What a press on Next asks the window to do.
enum TWizardStep {
  wsShowPage,               // the page changed
  wsAskDefaultThenInstall,  // ask about the default player, then install
  wsInstall,                // install with the chosen options
  wsRunStandalone,          // make this copy portable and start it
};

struct TFileTypeChoice {
  std::string Extension;
  bool Checked = true;
};

class TInstallWizard {
 public:
  // `defaults`: the installer's default options; every file type in them
  // starts checked.
  explicit TInstallWizard(const TInstallOptions& defaults);

  int Page() const { return CurrentPage; }
  bool BackEnabled() const { return CurrentPage > wpInstallOrStandalone; }
  bool AdvancedEnabled() const { return Install; }
  // "Install", "Next" or "Run" on the first page by the choice, "Next" on
  // the second, "Install" on the third.
  std::string NextCaption() const;

  TWizardStep Next();
  void Back();
  void SelectAll(bool checked);
  // The options with the checked file types.
  TInstallOptions ChosenOptions() const;
  // The location for a folder picked by "Browse...": that folder + "/Tunevale".
  static std::string BrowsedLocation(const std::string& folder);

  bool Install = true;  // "Install Tunevale", else "Run Tunevale standalone"
  bool Advanced = false;
  TInstallOptions Options;  // location, launchers and the make-default flag
  std::vector<TFileTypeChoice> FileTypes;

 private:
  int CurrentPage = wpInstallOrStandalone;
};

}  // namespace tunevale
