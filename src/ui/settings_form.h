// "Settings": the modeless dialog over a TSettingsDialogModel, which holds
// every rule; the widgets show the model and hand it the user's input. The
// main window keeps it until the heartbeat after it was hidden frees it, so
// showing it again meanwhile keeps what the user entered.
#pragma once

#include <functional>
#include <string>

#include "app/settings_dialog_model.h"
#include "ui/tessel_ok_cancel_dialog_form.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace tunevale {

class TCustomFiletypesForm;
class TPlayer;

// Pages of the dialog, in tab order.
enum TSettingsPage : int { spPlayer, spLibrary, spLibraryFolders, spOther, spInstallation };

class TSettingsForm final : public TTesselOKCancelDialogForm {
 public:
  TSettingsForm(TPlayer& player, QWidget* owner);

  // ShowSettings: selects `page` and shows the dialog without waiting.
  void ShowPage(int page);

  TSettingsDialogModel& Model() { return ModelObject; }
  QTabWidget& PageControl() const { return *Pages; }
  TCustomFiletypesForm& CustomFiletypes() const { return *CustomFiletypesForm; }
  // "Library statistics" runs this (the statistics window).
  std::function<void()> ShowStatistics;
  // The folder-browse dialog: the folder picked, "" for none.
  std::function<std::string()> ChooseFolder;

  void accept() override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QWidget* CreatePlayerPage();
  QWidget* CreateLibraryPage();
  QWidget* CreateFoldersPage();
  QWidget* CreateOtherPage();
  QWidget* CreateInstallationPage();
  QCheckBox* CheckBox(const char* name, const char* text, bool TSettingsDraft::*field, QWidget* page);
  void ShowControls();
  void ShowFolders();
  void CustomFiletypesButtonClick();
  void UninstallButtonClick();

  TPlayer& Player;
  TSettingsDialogModel ModelObject;
  TCustomFiletypesForm* CustomFiletypesForm;
  QTabWidget* Pages;
  QComboBox* OpenBehaviorComboBox = nullptr;
  QSpinBox* PictureDurationSpinEdit = nullptr;
  QComboBox* ArtistDoubleclickComboBox = nullptr;
  QCheckBox* UseLibraryCheckBox = nullptr;
  QListWidget* MonitorFoldersListBox = nullptr;
  QPushButton* AddFolderButton = nullptr;
  QPushButton* RemoveFolderButton = nullptr;
  QCheckBox* RelativePathCheckBox = nullptr;
  QPushButton* RefreshAllButton = nullptr;
  // The check boxes and the draft fields they show.
  std::vector<std::pair<QCheckBox*, bool TSettingsDraft::*>> Boxes;
};

}  // namespace tunevale
