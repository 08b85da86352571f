#include "ui/pages/utility/utility_pages.h"

#include <array>
#include <vector>

#include "core/kept_for_run.h"
#include "ui/pages/shared/module_session.h"

namespace {

constexpr std::array<const Page*, 2> kUtilityPages = {&kSystemParametersPage, &kUserPathsPage};
constexpr std::array<NavigationButton, 3> kUtilityNavigation = {{
    {0, "fPARAM<>", 0},
    {1, "fPATHS<>", 1},
    {kMenuColumn, "iMENU<>", kLeaveModule},
}};

}  // namespace

void RunUtilityPages() {
  uint16_t& selector = gKept.utilityScreen;
  while (selector != kLeaveModule) {
    if (selector >= kUtilityPages.size()) selector = 0;
    const uint16_t current = selector;
    std::vector<NavigationButton> navigation;
    for (const NavigationButton& button : kUtilityNavigation) {
      if (button.target != current) navigation.push_back(button);
    }
    PageRun run;
    run.selector = &selector;
    run.navigation = navigation;
    RunPage(*kUtilityPages[current], run);
    if (selector == kLeaveModule) {
      selector = current;  // remembered for the next visit
      return;
    }
  }
}
