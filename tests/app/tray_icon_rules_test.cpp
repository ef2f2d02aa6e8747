#include "app/tray_icon_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tunevale {
namespace {

TEST(TrayIconRulesTest, ClicksShowHideRaiseAndShowTheControls) {
  std::vector<std::string> done;
  TTrayIconRules rules;
  rules.ShowHide = [&] { done.push_back("show/hide"); };
  rules.BringToFront = [&] { done.push_back("front"); };
  rules.ShowTrayControls = [&](int ms) { done.push_back("controls " + std::to_string(ms)); };
  rules.SetTip = [&](const std::string& tip) { done.push_back("tip '" + tip + "'"); };
  // A double-click as Qt reports it: the first press a click, the second the double-click.
  rules.Clicked(tcSingle);
  rules.Clicked(tcDouble);
  rules.Clicked(tcContext);
  rules.MainWindowShown(true);
  rules.MainWindowShown(false);
  EXPECT_EQ(done,
            (std::vector<std::string>{"front", "controls 2000", "show/hide", "tip 'Tunevale'", "tip ''"}));
}

}  // namespace
}  // namespace tunevale
