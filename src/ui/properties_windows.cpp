#include "ui/properties_windows.h"

#include "ui/properties_form.h"

namespace tunevale {

TPropertiesWindows::TPropertiesWindows(TPlayer& player, QWidget& owner) : Player(player), Owner(owner) {}

TPropertiesForm& TPropertiesWindows::Window(const TPropertiesKey& key) {
  for (TPropertiesForm* window : Windows)
    if (window->Key() == key) return *window;
  Windows.push_back(new TPropertiesForm(Player, key, &Owner));
  return *Windows.back();
}

TPropertiesForm& TPropertiesWindows::ShowFileProperties(const std::string& path, int32_t errorCode,
                                                        const std::string& errorText) {
  TPropertiesForm& window = Window(TPropertiesKey::File(path));
  window.SetError(errorCode, errorText);
  window.ShowSubject();
  return window;
}

TPropertiesForm& TPropertiesWindows::ShowArtistAlbumProperties(const TPropertiesKey& key) {
  TPropertiesForm& window = Window(key);
  window.ShowSubject();
  return window;
}

}  // namespace tunevale
