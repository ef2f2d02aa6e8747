// A properties window: what is known about one file (its tags, location and
// size, and the last error of a playlist entry), or a summary of a library
// artist or album. Each subject has one window, kept hidden after closing
// and shown again; every show reads the subject afresh.
#pragma once

#include <QPointer>
#include <array>
#include <cstdint>
#include <string>

#include "app/properties_texts.h"
#include "ui/tessel_dialog_form.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tunevale {

class TPlayer;

class TPropertiesForm final : public TTesselDialogForm {
 public:
  // The tabs, in their order.
  enum TTab : int { ptError, ptTrackInfo, ptAlbum, ptFile, ptGroup, ptTabCount };

  TPropertiesForm(TPlayer& player, TPropertiesKey key, QWidget* owner);

  const TPropertiesKey& Key() const { return Subject; }
  // The error a file window shows from now on (code 0: none).
  void SetError(int32_t code, std::string text);
  // Reads the subject again and shows the window in front; a window not yet
  // showing is placed beside the main window first.
  void ShowSubject();

  QTabWidget& Tabs() const { return *PageControl; }
  QLabel& WebpageLabel() const { return *Link; }

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  QWidget* AddPage(TTab tab, const char* name, const char* caption, QFormLayout*& form);
  QLineEdit* AddBox(QFormLayout* form, const char* name, const char* label);
  void ShowFile(const TFileProperties& p);
  void ShowGroup(const TGroupProperties& p);
  void SetLink(const std::string& text, const std::string& url, bool helpPage);

  TPlayer& Player;
  TPropertiesKey Subject;
  int32_t ErrorCode = 0;
  std::string ErrorText;
  std::string LinkUrl;
  bool LinkIsHelpPage = false;
  QTabWidget* PageControl = nullptr;
  std::array<QFormLayout*, ptTabCount> Forms{};
  QLabel* Link = nullptr;
};

}  // namespace tunevale
