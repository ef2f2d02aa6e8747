// The library page as the search benchmarks see it: always shown, its text
// set by the benchmark, no busy indicator.
#pragma once

#include <string>
#include <string_view>

#include "library/library_search.h"

namespace tunevale {

class TBenchHost : public TLibrarySearchHost {
 public:
  bool LibraryPageShown() const override { return true; }
  TLibraryPage CurrentPage() const override { return Page; }
  std::string SearchText() const override { return Text; }
  bool BusyVisible() const override { return false; }
  std::string BusyText() const override { return {}; }
  void ShowBusy(std::string_view) override {}
  void HideBusy() override {}
  void ListRefilled(TLibraryList&) override {}
  std::string Text;
  TLibraryPage Page = lpTracks;
};

}  // namespace tunevale
