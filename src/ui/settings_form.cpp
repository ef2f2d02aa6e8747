#include "ui/settings_form.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/player.h"
#include "ui/custom_filetypes_form.h"
#include "ui/message_box.h"

namespace tunevale {

namespace {

constexpr int kClientWidth = 344;
constexpr int kClientHeight = 296;

QLabel* Text(const char* text, QWidget* page, bool wrap = false) {
  auto* label = new QLabel(text, page);
  label->setWordWrap(wrap);
  // A wrapping text takes the width the other controls give the page.
  if (wrap) label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  return label;
}

QPushButton* Button(const char* name, const char* caption, QWidget* page) {
  auto* button = new QPushButton(caption, page);
  button->setObjectName(name);
  return button;
}

QComboBox* ComboBox(const char* name, std::initializer_list<const char*> items, QWidget* page) {
  auto* box = new QComboBox(page);
  box->setObjectName(name);
  for (const char* item : items) box->addItem(item);
  return box;
}

bool Ask(QWidget* parent, const std::string& text, QMessageBox::Icon icon) {
  QMessageBox box(icon, ApplicationTitle, QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                  parent);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace

TSettingsForm::TSettingsForm(TPlayer& player, QWidget* owner)
    : TTesselOKCancelDialogForm(owner),
      Player(player),
      ModelObject(player.Settings(), player.SettingsDialogTarget(), player.Paths().ProgramDir) {
  setObjectName("SettingsForm");
  setWindowTitle("Settings");
  CustomFiletypesForm = new TCustomFiletypesForm(ModelObject.Draft.CustomExtensions, this);
  Pages = new QTabWidget(this);
  Pages->setObjectName("PageControl");
  Pages->setUsesScrollButtons(false);  // every tab in sight
  Pages->addTab(CreatePlayerPage(), "Player");
  Pages->addTab(CreateLibraryPage(), "Library");
  Pages->addTab(CreateFoldersPage(), "Library folders");
  Pages->addTab(CreateOtherPage(), "Other");
  Pages->addTab(CreateInstallationPage(), "Installation");
  Pages->setTabVisible(spInstallation, player.Settings().IsInstalled);
  // At least the classic size, more where the desktop's font needs it; long
  // texts wrap rather than widen the dialog.
  const int pagesWidth = std::max(kClientWidth - 16, Pages->minimumSizeHint().width());
  const int pagesHeight = std::max({kClientHeight - BandHeight - 16, Pages->minimumSizeHint().height(),
                                    Pages->heightForWidth(pagesWidth)});
  Pages->setGeometry(8, 8, pagesWidth, pagesHeight);
  setFixedSize(pagesWidth + 16, pagesHeight + BandHeight + 16);

  auto* webpage =
      new QLabel("<a href=\"settings\" style=\"color:#0066cc\">What do these settings mean?</a>", this);
  webpage->setObjectName("WebpageLabel");
  webpage->adjustSize();
  webpage->move(10, height() - BandHeight + (BandHeight - webpage->height()) / 2);
  connect(webpage, &QLabel::linkActivated, this, [this] {
    Player.Guarded([this] { Player.OpenWebPage(TSettingsDialogModel::HelpPage(Pages->currentIndex())); });
  });

  ModelObject.Inform = [this](const std::string& text) { ShowMessageBox(this, text, mtInformation); };
  ModelObject.AskWholeDrive = [this](const std::string& text) {
    return Ask(this, text, QMessageBox::Information);
  };
  ChooseFolder = [this] {
    return QFileDialog::getExistingDirectory(this, "Select the folder you want to monitor").toStdString();
  };
}

QCheckBox* TSettingsForm::CheckBox(const char* name, const char* text, bool TSettingsDraft::*field,
                                   QWidget* page) {
  auto* box = new QCheckBox(text, page);
  box->setObjectName(name);
  connect(box, &QCheckBox::toggled, this, [this, field](bool on) { ModelObject.Draft.*field = on; });
  Boxes.emplace_back(box, field);
  return box;
}

QWidget* TSettingsForm::CreatePlayerPage() {
  auto* page = new QWidget;
  auto* layout = new QGridLayout(page);
  layout->addWidget(Text("Action when opening a file:", page), 0, 0, 1, 3);
  OpenBehaviorComboBox =
      ComboBox("OpenBehaviorComboBox",
               {"Replace playlist with new files and play", "Add files to playlist and keep playing",
                "Add files to playlist and play new files"},
               page);
  connect(OpenBehaviorComboBox, &QComboBox::activated, this,
          [this](int index) { ModelObject.Draft.OpenBehavior = static_cast<uint8_t>(index); });
  layout->addWidget(OpenBehaviorComboBox, 1, 0, 1, 3);
  const std::tuple<const char*, const char*, bool TSettingsDraft::*> boxes[] = {
      {"PreferOverlayCheckBox", "Alternative video playback", &TSettingsDraft::PreferOverlay},
      {"HotKeyCheckBox", "Enable global hotkeys", &TSettingsDraft::EnableGlobalHotkeys},
      {"UpdatesCheckBox", "Automatically check for updates", &TSettingsDraft::CheckForUpdates},
      {"ShowArtistCheckBox", "Show artist in playlist", &TSettingsDraft::ShowArtistInPlaylist},
      {"SwitchToPlaylistCheckBox", "Don't switch to playlist after playing from the library",
       &TSettingsDraft::DontSwitchToPlaylist},
  };
  int row = 2;
  for (const auto& [name, text, field] : boxes)
    layout->addWidget(CheckBox(name, text, field, page), row++, 0, 1, 3);
  layout->addWidget(Text("Time to display pictures:", page), row, 0);
  PictureDurationSpinEdit = new QSpinBox(page);
  PictureDurationSpinEdit->setObjectName("PictureDurationSpinEdit");
  PictureDurationSpinEdit->setRange(1, 99);
  connect(PictureDurationSpinEdit, &QSpinBox::valueChanged, this,
          [this](int value) { ModelObject.Draft.PictureDuration = value; });
  layout->addWidget(PictureDurationSpinEdit, row, 1);
  layout->addWidget(Text("seconds", page), row, 2);
  layout->setColumnStretch(2, 1);
  layout->setRowStretch(row + 1, 1);
  return page;
}

QWidget* TSettingsForm::CreateLibraryPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(Text("When doubleclicking an artist:", page));
  ArtistDoubleclickComboBox = ComboBox("ArtistDoubleclickComboBox", {"View albums", "View tracks"}, page);
  connect(ArtistDoubleclickComboBox, &QComboBox::activated, this,
          [this](int index) { ModelObject.Draft.ArtistDoubleclickTab = index; });
  layout->addWidget(ArtistDoubleclickComboBox);
  layout->addWidget(CheckBox("AlwaysShowAlbumArtistCheckBox", "Always display album artist instead of artist",
                             &TSettingsDraft::AlwaysShowAlbumArtist, page));
  layout->addWidget(CheckBox("HideOneTrackAlbumsCheckBox",
                             "Hide albums with 3 or less tracks from album list",
                             &TSettingsDraft::HideIncompleteAlbums, page));
  layout->addStretch();
  return page;
}

QWidget* TSettingsForm::CreateFoldersPage() {
  auto* page = new QWidget;
  auto* layout = new QGridLayout(page);
  UseLibraryCheckBox = new QCheckBox("Use the library", page);
  UseLibraryCheckBox->setObjectName("UseLibraryCheckBox");
  connect(UseLibraryCheckBox, &QCheckBox::clicked, this, [this](bool on) {
    ModelObject.SetUseLibrary(on);
    ShowFolders();
  });
  layout->addWidget(UseLibraryCheckBox, 0, 0, 1, 2);
  layout->addWidget(Text("Automatically monitor these folders:", page), 1, 0, 1, 2);
  MonitorFoldersListBox = new QListWidget(page);
  MonitorFoldersListBox->setObjectName("MonitorFoldersListBox");
  connect(MonitorFoldersListBox, &QListWidget::currentRowChanged, this, [this](int row) {
    ModelObject.Select(row);
    ShowFolders();
  });
  layout->addWidget(MonitorFoldersListBox, 2, 0, 4, 1);
  AddFolderButton = Button("AddFolderButton", "Add", page);
  connect(AddFolderButton, &QPushButton::clicked, this, [this] {
    ModelObject.AddFolder(ChooseFolder());
    ShowFolders();
  });
  RemoveFolderButton = Button("RemoveFolderButton", "Remove", page);
  const auto remove = [this] {
    if (!RemoveFolderButton->isEnabled()) return;
    ModelObject.RemoveSelected();
    ShowFolders();
  };
  connect(RemoveFolderButton, &QPushButton::clicked, this, remove);
  auto* deleteKey = new QAction(MonitorFoldersListBox);
  deleteKey->setShortcut(QKeySequence::Delete);
  deleteKey->setShortcutContext(Qt::WidgetShortcut);
  connect(deleteKey, &QAction::triggered, this, remove);
  MonitorFoldersListBox->addAction(deleteKey);
  auto* defaults = Button("DefaultButton", "Restore defaults", page);
  connect(defaults, &QPushButton::clicked, this, [this] {
    ModelObject.RestoreDefaults();
    ShowFolders();
  });
  layout->addWidget(AddFolderButton, 2, 1);
  layout->addWidget(RemoveFolderButton, 3, 1);
  layout->addWidget(defaults, 4, 1);
  layout->setRowStretch(5, 1);
  RelativePathCheckBox = new QCheckBox("Relative path", page);
  RelativePathCheckBox->setObjectName("RelativePathCheckBox");
  connect(RelativePathCheckBox, &QCheckBox::clicked, this, [this](bool on) {
    ModelObject.SetSelectedRelative(on);
    ShowFolders();
  });
  layout->addWidget(RelativePathCheckBox, 6, 0, 1, 2);
  return page;
}

QWidget* TSettingsForm::CreateOtherPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(Text("To add support for more file types, click File types", page));
  auto* custom = Button("CustomFiletypesButton", "Custom file types...", page);
  connect(custom, &QPushButton::clicked, this, [this] { CustomFiletypesButtonClick(); });
  layout->addWidget(custom, 0, Qt::AlignLeft);
  layout->addWidget(
      Text("To refresh the entire library, click the Refresh button. This is useful when there are "
           "missing or incorrect files.",
           page, true));
  RefreshAllButton = Button("RefreshAllButton", "Refresh library", page);
  connect(RefreshAllButton, &QPushButton::clicked, this, [this] { ModelObject.RefreshAll(); });
  layout->addWidget(RefreshAllButton, 0, Qt::AlignLeft);
  auto* statistics = Button("LibraryStatisticsButton", "Library statistics", page);
  connect(statistics, &QPushButton::clicked, this, [this] {
    if (ShowStatistics) Player.Guarded(ShowStatistics);
  });
  layout->addWidget(statistics, 0, Qt::AlignLeft);
  layout->addStretch();
  return page;
}

QWidget* TSettingsForm::CreateInstallationPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(
      Text("Tunevale is installed on your computer. To uninstall Tunevale, click Uninstall.", page, true));
  auto* uninstall = Button("UninstallButton", "Uninstall", page);
  connect(uninstall, &QPushButton::clicked, this, [this] { UninstallButtonClick(); });
  layout->addWidget(uninstall, 0, Qt::AlignLeft);
  layout->addWidget(
      Text("To choose what file types you want to open with Tunevale, click Filetypes.", page, true));
  auto* fileTypes = Button("FileTypesButton", "File types", page);
  connect(fileTypes, &QPushButton::clicked, this,
          [this] { Player.StartOwnExecutable(ModelObject.FileTypesArguments()); });
  layout->addWidget(fileTypes, 0, Qt::AlignLeft);
  layout->addStretch();
  return page;
}

void TSettingsForm::ShowPage(int page) {
  Pages->setCurrentIndex(page);
  show();
  raise();
  activateWindow();
}

void TSettingsForm::showEvent(QShowEvent* event) {
  TTesselOKCancelDialogForm::showEvent(event);
  if (event->spontaneous()) return;
  PlaceBesideOwner();
  RelativePathCheckBox->setVisible(!Player.Settings().IsInstalled);
  ModelObject.Show();
  ShowControls();
}

void TSettingsForm::hideEvent(QHideEvent* event) {
  TTesselOKCancelDialogForm::hideEvent(event);
  // The next heartbeat comes at once and frees the dialog.
  if (!event->spontaneous()) Player.HeartbeatSoon();
}

void TSettingsForm::ShowControls() {
  const TSettingsDraft& d = ModelObject.Draft;
  OpenBehaviorComboBox->setCurrentIndex(d.OpenBehavior);
  PictureDurationSpinEdit->setValue(d.PictureDuration);
  ArtistDoubleclickComboBox->setCurrentIndex(d.ArtistDoubleclickTab);
  for (const auto& [box, field] : Boxes) box->setChecked(d.*field);
  ShowFolders();
}

void TSettingsForm::ShowFolders() {
  const TSettingsDraft& d = ModelObject.Draft;
  UseLibraryCheckBox->setChecked(d.UseLibrary);
  {
    const QSignalBlocker block(MonitorFoldersListBox);
    MonitorFoldersListBox->clear();
    for (const std::string& folder : d.LibraryFolders)
      MonitorFoldersListBox->addItem(QString::fromStdString(folder));
    MonitorFoldersListBox->setCurrentRow(ModelObject.Selected());
  }
  RelativePathCheckBox->setChecked(ModelObject.SelectedIsRelative());
  RelativePathCheckBox->setEnabled(ModelObject.RelativeEnabled());
  for (QWidget* w : {static_cast<QWidget*>(MonitorFoldersListBox), static_cast<QWidget*>(AddFolderButton),
                     static_cast<QWidget*>(RefreshAllButton)})
    w->setEnabled(d.UseLibrary);
  RemoveFolderButton->setEnabled(d.UseLibrary && ModelObject.RemoveEnabled());
}

void TSettingsForm::CustomFiletypesButtonClick() {
  // The boxes show the lists as the settings dialog holds them; they reach
  // the settings only with this dialog's OK.
  const TMediaSettings& lists = ModelObject.Draft.CustomExtensions;
  const std::string* values[] = {&lists.CustomMusicExtensions, &lists.CustomVideoExtensions,
                                 &lists.CustomPlaylistExtensions};
  QLineEdit* edits[] = {CustomFiletypesForm->MusicEdit(), CustomFiletypesForm->VideoEdit(),
                        CustomFiletypesForm->PlaylistEdit()};
  for (int i = 0; i < 3; ++i) edits[i]->setText(QString::fromStdString(*values[i]));
  CustomFiletypesForm->exec();
}

void TSettingsForm::UninstallButtonClick() {
  if (Ask(this, "Are you sure want to uninstall Tunevale?", QMessageBox::Question))
    Player.StartOwnExecutable({"/uninstall"});
}

void TSettingsForm::accept() {
  Player.Guarded([this] { ModelObject.TakeOver(); });
  TTesselOKCancelDialogForm::accept();
}

void TSettingsForm::reject() {
  ModelObject.Cancel();
  TTesselOKCancelDialogForm::reject();
}

}  // namespace tunevale
