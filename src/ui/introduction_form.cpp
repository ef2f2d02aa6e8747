#include "ui/introduction_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "ui/link_label.h"
#include "ui/tessel_form.h"

namespace tunevale {

namespace {

constexpr int FormWidth = 480, FormHeight = 340, Margin = 16;

QLabel* Text(QVBoxLayout* layout, const QString& text) {
  auto* label = new QLabel(text, layout->parentWidget());
  label->setWordWrap(true);
  layout->addWidget(label);
  return label;
}

// A page with its heading and first text; the layout for the rest.
QVBoxLayout* NewPage(const char* heading, const QString& text) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(Margin, Margin, Margin, 8);
  auto* label = new QLabel(heading, page);
  label->setObjectName("Heading");
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * 1.5);
  label->setFont(font);
  label->setStyleSheet("color: rgb(0, 51, 153);");
  layout->addWidget(label);
  Text(layout, text);
  return layout;
}

QPushButton* PageButton(QVBoxLayout* layout, const QString& caption, const char* name) {
  auto* button = new QPushButton(caption, layout->parentWidget());
  button->setObjectName(name);
  layout->addWidget(button);
  return button;
}

}  // namespace

TIntroductionForm::TIntroductionForm(QWidget& mainWindow, std::function<void(int)> configureLibrary,
                                     TLinks links)
    : TTesselDialogForm(nullptr), MainWindow(&mainWindow) {
  setWindowTitle("Introduction");
  setFixedSize(FormWidth, FormHeight);
  Pages = new QStackedWidget(this);
  Pages->setGeometry(0, 0, FormWidth, FormHeight - BandHeight);
  Pages->addWidget(WelcomePage());
  Pages->addWidget(MainWindowPage(std::move(configureLibrary)));
  Pages->addWidget(LibraryPage(links));
  Pages->addWidget(ReadyPage(links));
  const auto button = [this](const char* caption, int fromRight) {
    auto* b = new QPushButton(caption, this);
    b->setGeometry(FormWidth - fromRight, FormHeight - 23 - 9, 75, 23);
    return b;
  };
  Previous = button("Previous", 3 * 75 + 22);
  Next = button("Next", 2 * 75 + 16);
  Cancel = button("Cancel", 75 + 10);
  Next->setDefault(true);
  connect(Next, &QPushButton::clicked, this, &TIntroductionForm::NextButtonClick);
  connect(Previous, &QPushButton::clicked, this, &TIntroductionForm::PreviousButtonClick);
  connect(Cancel, &QPushButton::clicked, this, &QWidget::hide);
  PageChanged();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

QWidget* TIntroductionForm::WelcomePage() {
  QVBoxLayout* layout = NewPage(
      "Thank you for installing Tunevale",
      "This wizard introduces you to the features of Tunevale, and helps you configure the basic settings.");
  layout->addSpacing(12);
  connect(PageButton(layout, "Yes, please show me the way using Tunevale.", "YesButton"),
          &QPushButton::clicked, this, &TIntroductionForm::NextButtonClick);
  connect(PageButton(layout, "No, I know everything about computers. Just let me play my music!", "NoButton"),
          &QPushButton::clicked, this, &QWidget::hide);
  layout->addStretch(1);
  return layout->parentWidget();
}

QWidget* TIntroductionForm::MainWindowPage(std::function<void(int)> configureLibrary) {
  QVBoxLayout* layout = NewPage(
      "The main window",
      "Take a look at the main window. What you see now is your playlist. When you click the Library tab, "
      "you will see the library, which is the collection of music Tunevale has found in your music folder. "
      "Tunevale is probably searching now for your music.\n\nIf you have music in other folders, you may "
      "want to add them. To do so, click the button below.");
  QPushButton* configure = PageButton(layout, "Configure library", "ConfigureLibraryButton");
  configure->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(configure, &QPushButton::clicked, this, [configureLibrary = std::move(configureLibrary)] {
    if (configureLibrary) configureLibrary(SettingsLibraryPage);
  });
  Text(layout,
       "You can always add more folders later in the settings. To open the settings, click the menu "
       "button. (It's the big button with the downwards pointy thing)");
  layout->addStretch(1);
  return layout->parentWidget();
}

QWidget* TIntroductionForm::LibraryPage(const TLinks& links) {
  QVBoxLayout* layout = NewPage(
      "The library",
      "The library is your collection of your music, videos and playlists. This comes in handy so you don't "
      "have to browse with Explorer to the song you want to hear. You have it all in one place.\n\n"
      "There is a search bar so you only have to type the first few letters, and the album or song you want "
      "shows up."
      "\n\nIf you're not an organized freak like me, you may notice some albums show up as \"unknown\". "
      "That's because they are not tagged correctly. Tagging all your tracks may take some work but really "
      "helps you (and Tunevale) out finding your music!");
  layout->addWidget(new TLinkLabel("More information about the library and tagging files", links.LibraryHelp,
                                   links.Open, layout->parentWidget()));
  layout->addStretch(1);
  return layout->parentWidget();
}

QWidget* TIntroductionForm::ReadyPage(const TLinks& links) {
  QVBoxLayout* layout =
      NewPage("You're ready to go!",
              "If you have some questions, you can always check out the FAQ page on the Tunevale website:");
  layout->addWidget(new TLinkLabel(links.Faq, links.Faq, links.Open, layout->parentWidget()));
  layout->addSpacing(12);
  Text(layout,
       "If you want to know detailed information about Tunevale, check out the rest of the online help:");
  layout->addWidget(new TLinkLabel(links.Help, links.Help, links.Open, layout->parentWidget()));
  layout->addStretch(1);
  return layout->parentWidget();
}

int TIntroductionForm::PageIndex() const { return Pages->currentIndex(); }

void TIntroductionForm::PageChanged() {
  const int page = PageIndex();
  for (QPushButton* b : {Previous, Next, Cancel}) b->setVisible(page > 0);
  Previous->setEnabled(page > 0);
  Next->setText(page == PageCount - 1 ? "OK :)" : "Next");
}

void TIntroductionForm::NextButtonClick() {
  if (PageIndex() == PageCount - 1) {
    hide();
    return;
  }
  Pages->setCurrentIndex(PageIndex() + 1);
  PageChanged();
  if (MainWindow && !MainWindow->isVisible()) PlaceMainWindow();
}

void TIntroductionForm::PreviousButtonClick() {
  if (PageIndex() == 0) return;
  Pages->setCurrentIndex(PageIndex() - 1);
  PageChanged();
}

// The main window to the left of the introduction, both fully on screen, side
// by side. The window shows before the introduction moves beside it: only a
// shown window has its frame.
void TIntroductionForm::PlaceMainWindow() {
  QRect main = MainWindow->frameGeometry();
  main.moveTopRight(QPoint(frameGeometry().left() - 1, frameGeometry().top()));
  MoveFullyOnScreen(*MainWindow, main);
  MainWindow->show();
  QRect own = frameGeometry();
  own.moveTopLeft(QPoint(MainWindow->frameGeometry().right() + 1, MainWindow->frameGeometry().top()));
  MoveFullyOnScreen(*this, own);
}

void TIntroductionForm::hideEvent(QHideEvent* event) {
  TTesselDialogForm::hideEvent(event);
  if (MainWindow && !MainWindow->isVisible()) MainWindow->show();
}

}  // namespace tunevale
