// The main window's properties windows, one per subject (a file by its
// exact path, an artist or album as the library groups it). They live as
// long as the window and are reused; the heartbeat never frees them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/properties_texts.h"

class QWidget;

namespace tunevale {

class TPlayer;
class TPropertiesForm;

class TPropertiesWindows {
 public:
  TPropertiesWindows(TPlayer& player, QWidget& owner);

  // A file with the error its caller knows of (code 0: none).
  TPropertiesForm& ShowFileProperties(const std::string& path, int32_t errorCode,
                                      const std::string& errorText);
  // A library artist or album.
  TPropertiesForm& ShowArtistAlbumProperties(const TPropertiesKey& key);
  int Count() const { return static_cast<int>(Windows.size()); }

 private:
  TPropertiesForm& Window(const TPropertiesKey& key);

  TPlayer& Player;
  QWidget& Owner;
  std::vector<TPropertiesForm*> Windows;  // children of Owner
};

}  // namespace tunevale
