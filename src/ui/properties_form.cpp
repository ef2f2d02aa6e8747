#include "ui/properties_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "app/desktop.h"
#include "app/player.h"

namespace tunevale {

namespace {

constexpr int FormWidth = 380;
constexpr int FormHeight = 330;

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TPropertiesForm::TPropertiesForm(TPlayer& player, TPropertiesKey key, QWidget* owner)
    : TTesselDialogForm(owner), Player(player), Subject(std::move(key)) {
  setObjectName("PropertiesForm");
  setWindowTitle("Properties");
  setModal(false);
  setFixedSize(FormWidth, FormHeight);
  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl1");
  PageControl->setGeometry(8, 8, FormWidth - 16, FormHeight - BandHeight - 36);
  QFormLayout* f = nullptr;
  AddPage(ptError, "TabSheet4", "Error details", f);
  AddBox(f, "FriendlyErrorEdit", "Error");
  AddBox(f, "ErrorCodeEdit", "Error code");
  AddBox(f, "AdvancedErrorEdit", "Advanced error message");
  AddPage(ptTrackInfo, "TabSheet1", "Track info", f);
  for (const auto& [name, label] : {std::pair{"TrackEdit", "Track number:"},
                                    {"TitleEdit", "Title:"},
                                    {"YearEdit", "Year:"},
                                    {"GenreEdit", "Genre:"},
                                    {"ArtistEdit", "Artist"},
                                    {"LengthEdit", "Length:"}})
    AddBox(f, name, label);
  AddPage(ptAlbum, "TabSheet2", "Album", f);
  for (const auto& [name, label] : {std::pair{"AlbumArtistEdit", "Album artist"},
                                    {"ComposersEdit", "Composers"},
                                    {"PublisherEdit", "Publisher:"},
                                    {"CopyrightEdit", "Copyright notes:"},
                                    {"AlbumEdit", "Album:"},
                                    {"CommentsEdit", "Comments:"}})
    AddBox(f, name, label);
  AddPage(ptFile, "TabSheet3", "File", f);
  auto* location = new QHBoxLayout;
  auto* locationEdit = new QLineEdit(this);
  locationEdit->setObjectName("FileLocationEdit");
  locationEdit->setReadOnly(true);
  auto* goTo = new QPushButton("Go to", this);
  goTo->setObjectName("GoToButton");
  connect(goTo, &QPushButton::clicked, this,
          [this] { Player.Guarded([&] { Player.OpenFileLocation(Subject.Path); }); });
  location->addWidget(locationEdit, 1);
  location->addWidget(goTo);
  f->addRow("Location:", location);
  AddBox(f, "FileSizeEdit", "Size:");
  AddPage(ptGroup, "TabSheet5", "", f);
  for (const auto& [name, label] : {std::pair{"ArtistAlbumEdit1", "Name:"},
                                    {"ArtistAlbumEdit2", "Artist"},
                                    {"TrackCountEdit", "Tracks:"},
                                    {"AlbumCountEdit", "Albums:"},
                                    {"GenresEdit", "Genres:"}})
    AddBox(f, name, label);

  Link = new QLabel(this);
  Link->setObjectName("WebpageLabel");
  Link->setGeometry(12, FormHeight - BandHeight - 24, FormWidth - 24, 18);
  Link->setTextFormat(Qt::RichText);
  Link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  connect(Link, &QLabel::linkActivated, this, [this] {
    Player.Guarded([&] { LinkIsHelpPage ? Player.OpenWebPage(LinkUrl) : Player.OpenWebAddress(LinkUrl); });
  });
  auto* close = new QPushButton("Close", this);
  close->setObjectName("CloseButton");
  close->setDefault(true);
  close->setGeometry(FormWidth - 75 - 10, FormHeight - 23 - 9, 75, 23);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);  // Esc too; hides
}

QWidget* TPropertiesForm::AddPage(TTab tab, const char* name, const char* caption, QFormLayout*& form) {
  auto* page = new QWidget(PageControl);
  page->setObjectName(name);
  form = Forms[tab] = new QFormLayout(page);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  PageControl->addTab(page, caption);
  return page;
}

QLineEdit* TPropertiesForm::AddBox(QFormLayout* form, const char* name, const char* label) {
  auto* box = new QLineEdit(this);
  box->setObjectName(name);
  box->setReadOnly(true);
  form->addRow(label, box);
  return box;
}

void TPropertiesForm::SetError(int32_t code, std::string text) {
  ErrorCode = code;
  ErrorText = std::move(text);
}

void TPropertiesForm::ShowSubject() {
  if (Subject.Kind == TPropertiesKey::pkFile) {
    ShowFile(ReadFileProperties(Subject.Path, ErrorCode, ErrorText));
  } else if (const std::optional<TGroupProperties> group = GroupProperties(Player.Library(), Subject)) {
    ShowGroup(*group);  // an artist or album that left the library keeps its last texts
  }
  if (!isVisible()) PlaceBesideOwner();
  show();
  raise();
  activateWindow();
}

void TPropertiesForm::ShowFile(const TFileProperties& p) {
  const std::pair<const char*, const std::string*> boxes[] = {
      {"FriendlyErrorEdit", &p.FriendlyError},
      {"ErrorCodeEdit", &p.ErrorCode},
      {"AdvancedErrorEdit", &p.AdvancedError},
      {"TrackEdit", &p.Track},
      {"TitleEdit", &p.Title},
      {"YearEdit", &p.Year},
      {"GenreEdit", &p.Genre},
      {"ArtistEdit", &p.Artist},
      {"LengthEdit", &p.Length},
      {"AlbumArtistEdit", &p.AlbumArtist},
      {"ComposersEdit", &p.Composers},
      {"PublisherEdit", &p.Publisher},
      {"CopyrightEdit", &p.Copyright},
      {"AlbumEdit", &p.Album},
      {"CommentsEdit", &p.Comments},
      {"FileLocationEdit", &p.Location},
      {"FileSizeEdit", &p.Size},
  };
  for (const auto& [name, text] : boxes) {
    auto* box = findChild<QLineEdit*>(name);
    box->setText(Q(*text));
    box->setCursorPosition(0);
  }
  PageControl->setTabVisible(ptError, p.ErrorTab);
  PageControl->setTabVisible(ptTrackInfo, p.TrackInfoTab);
  PageControl->setTabVisible(ptAlbum, p.AlbumTab);
  PageControl->setTabVisible(ptFile, true);
  PageControl->setTabVisible(ptGroup, false);
  PageControl->setCurrentIndex(p.ErrorTab ? ptError : p.TrackInfoTab ? ptTrackInfo : ptFile);
  SetLink(p.LinkText, p.LinkUrl, p.LinkIsHelpPage);
}

void TPropertiesForm::ShowGroup(const TGroupProperties& p) {
  const std::pair<const char*, const std::string*> boxes[] = {{"ArtistAlbumEdit1", &p.Name},
                                                              {"ArtistAlbumEdit2", &p.Artist},
                                                              {"TrackCountEdit", &p.Tracks},
                                                              {"AlbumCountEdit", &p.Albums},
                                                              {"GenresEdit", &p.Genres}};
  for (const auto& [name, text] : boxes) findChild<QLineEdit*>(name)->setText(Q(*text));
  // An album names its artist; an artist counts its albums.
  Forms[ptGroup]->setRowVisible(findChild<QLineEdit*>("ArtistAlbumEdit2"), p.IsAlbum);
  Forms[ptGroup]->setRowVisible(findChild<QLineEdit*>("AlbumCountEdit"), !p.IsAlbum);
  for (int tab = 0; tab < ptTabCount; ++tab) PageControl->setTabVisible(tab, tab == ptGroup);
  PageControl->setTabText(ptGroup, Q(p.Caption));
  PageControl->setCurrentIndex(ptGroup);
  SetLink({}, {}, false);
}

void TPropertiesForm::SetLink(const std::string& text, const std::string& url, bool helpPage) {
  LinkUrl = url;
  LinkIsHelpPage = helpPage;
  const QString shown = Q(text).toHtmlEscaped();
  // Only what the player would open is a link.
  const bool opens = helpPage || IsWebAddress(url);
  Link->setText(opens ? QString("<a href=\"#\">%1</a>").arg(shown) : shown);
  Link->setCursor(opens ? Qt::PointingHandCursor : Qt::ArrowCursor);
  Link->setVisible(!text.empty());
}

void TPropertiesForm::hideEvent(QHideEvent* event) {
  TTesselDialogForm::hideEvent(event);
  Player.HeartbeatSoon();
}

}  // namespace tunevale
