#include "app/secondary_windows.h"

#include <algorithm>

namespace tunevale {

void TSecondaryWindows::Add(const void* window, std::function<bool()> shown, std::function<void()> release) {
  Remove(window);
  Windows.push_back({window, std::move(shown), std::move(release)});
}

void TSecondaryWindows::Remove(const void* window) {
  std::erase_if(Windows, [window](const TEntry& e) { return e.Window == window; });
}

bool TSecondaryWindows::Contains(const void* window) const {
  return std::any_of(Windows.begin(), Windows.end(),
                     [window](const TEntry& e) { return e.Window == window; });
}

void TSecondaryWindows::FreeHidden() {
  // Taken out first: a release may run code that adds or removes windows.
  std::vector<TEntry> kept;
  std::vector<TEntry> hidden;
  for (TEntry& e : Windows) (e.Shown() ? kept : hidden).push_back(std::move(e));
  Windows = std::move(kept);
  for (TEntry& e : hidden) e.Release();
}

}  // namespace tunevale
