// The introduction on the first run, shown instead of the main window: four
// pages without tabs. The first asks whether to go on; from the second on,
// "Previous", "Next" ("OK :)" on the last) and "Cancel" lead through them.
// Going on places the main window left of the introduction and shows it;
// hiding the introduction, however it happens, shows the main window.
#pragma once

#include <QPointer>
#include <functional>

#include "ui/tessel_dialog_form.h"

class QPushButton;
class QStackedWidget;

namespace tunevale {

class TIntroductionForm final : public TTesselDialogForm {
 public:
  static constexpr int PageCount = 4;
  static constexpr int SettingsLibraryPage = 2;  // the settings dialog's third page

  struct TLinks {
    QString LibraryHelp;  // the FAQ's library section
    QString Faq;
    QString Help;
    std::function<void(const QString&)> Open;
  };

  // `configureLibrary` opens the settings dialog on the page it is given.
  TIntroductionForm(QWidget& mainWindow, std::function<void(int page)> configureLibrary, TLinks links);

  int PageIndex() const;
  QPushButton& NextButton() const { return *Next; }
  QPushButton& PreviousButton() const { return *Previous; }
  QPushButton& CancelButton() const { return *Cancel; }

  void NextButtonClick();
  void PreviousButtonClick();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  QWidget* WelcomePage();
  QWidget* MainWindowPage(std::function<void(int)> configureLibrary);
  QWidget* LibraryPage(const TLinks& links);
  QWidget* ReadyPage(const TLinks& links);
  void PageChanged();
  void PlaceMainWindow();

  QPointer<QWidget> MainWindow;
  QStackedWidget* Pages = nullptr;
  QPushButton* Cancel = nullptr;
  QPushButton* Next = nullptr;
  QPushButton* Previous = nullptr;
};

}  // namespace tunevale
