// A Library page for search tests: what it shows, and a log of what the
// search told it ("busy <text>", "list <page>", "idle").
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "library/library_search.h"

namespace tunevale::test {

class TFakeSearchHost : public TLibrarySearchHost {
 public:
  bool LibraryPageShown() const override { return PageShown; }
  TLibraryPage CurrentPage() const override { return Page; }
  std::string SearchText() const override { return Text; }
  bool BusyVisible() const override { return Busy; }
  std::string BusyText() const override { return Status; }
  void ShowBusy(std::string_view text) override {
    Busy = true;
    Status = text;
    Log.push_back("busy " + Status);
    if (OnShowBusy) OnShowBusy();
  }
  void HideBusy() override {
    Busy = false;
    Log.push_back("idle");
  }
  void ListRefilled(TLibraryList& list) override { Log.push_back("list " + std::to_string(list.Page)); }

  bool PageShown = true;
  TLibraryPage Page = lpTracks;
  std::string Text;
  bool Busy = false;
  std::string Status;
  std::vector<std::string> Log;
  std::function<void()> OnShowBusy;
};

}  // namespace tunevale::test
