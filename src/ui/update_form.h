// The newer-version dialog: the headline, the changes, a link to the
// changelog, and "Install" ("Download" for a copy that cannot upgrade
// itself) or "Later".
#pragma once

#include <functional>
#include <string>

#include "install/update_check.h"
#include "ui/tessel_dialog_form.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tunevale {

class TUpdateForm final : public TTesselDialogForm {
 public:
  // `openUrl` opens the changelog when its link is clicked.
  TUpdateForm(const TVersionText& version, bool installed, const std::string& changelogUrl,
              std::function<void(const std::string&)> openUrl, QWidget* owner);

  QLabel* VersionLabel() const { return Headline; }
  QPlainTextEdit* Memo() const { return Changes; }
  QPushButton* InstallButton() const { return Install; }

 private:
  QLabel* Headline;
  QPlainTextEdit* Changes;
  QPushButton* Install;
};

}  // namespace tunevale
