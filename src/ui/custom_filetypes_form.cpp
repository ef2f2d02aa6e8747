#include "ui/custom_filetypes_form.h"

#include <QLabel>
#include <QLineEdit>

#include "install/file_type_association.h"
#include "ui/message_box.h"
#include "util/text.h"

namespace tunevale {

namespace {

QLabel* WrappedLabel(QWidget* parent, const char* text, int top, int height) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  label->setGeometry(12, top, 316, height);
  return label;
}

}  // namespace

TCustomFiletypesForm::TCustomFiletypesForm(TMediaSettings& settings, QWidget* owner)
    : TTesselOKCancelDialogForm(owner), Settings(settings) {
  setWindowTitle("Configure custom filetypes");
  setFixedSize(340, 250);
  WrappedLabel(this,
               "To add support for more file types, add their file extensions here. Separate multiple values "
               "with a comma. Eg: mp3,wma.",
               8, 44);
  const char* captions[] = {"Music:", "Videos:", "Playlists:"};
  const std::string* values[] = {&settings.CustomMusicExtensions, &settings.CustomVideoExtensions,
                                 &settings.CustomPlaylistExtensions};
  for (int i = 0; i < 3; ++i) {
    auto* caption = new QLabel(captions[i], this);
    caption->setGeometry(12, 58 + i * 28, 70, 21);
    Edits[i] = new QLineEdit(QString::fromStdString(*values[i]), this);
    Edits[i]->setGeometry(84, 58 + i * 28, 244, 21);
    connect(Edits[i], &QLineEdit::textEdited, this, [edit = Edits[i]](const QString& text) {
      const int cursor = edit->cursorPosition();
      edit->setText(text.toLower());
      edit->setCursorPosition(cursor);
    });
  }
  WrappedLabel(this,
               "These files will be recognized as valid so they can be added to the library, and will be "
               "displayed in the open dialogs.",
               146, 44);
  ShowRefusal = [this](const std::string& text) { ShowMessageBox(this, text, mtError); };
}

void TCustomFiletypesForm::accept() {
  std::vector<std::string> invalid;
  std::string lists[3];
  for (int i = 0; i < 3; ++i) lists[i] = NormalizeExtensionList(Edits[i]->text().toStdString(), invalid);
  if (!invalid.empty()) {
    ShowRefusal("These are not valid file extensions: " + Join(invalid, ", ") +
                "\n\nAn extension is made of lower-case letters, digits and the characters + . _ - "
                "(not first), at most 16 characters.");
    return;
  }
  Settings.CustomMusicExtensions = lists[0];
  Settings.CustomVideoExtensions = lists[1];
  Settings.CustomPlaylistExtensions = lists[2];
  TTesselOKCancelDialogForm::accept();
}

}  // namespace tunevale
