#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "ui/page_event.h"

// The page contract: every numbered page is one constant `Page` run by
// `RunPage`.
//
//   constexpr PageButton kButtons[] = {{0, 0, "-VOLUME", kLower}, {11, 0, "FLUSH", kFlush}};
//   constexpr Page kSettingsPage = {
//       .title = "SYSTEM SETTINGS", .number = "0.0.0", .buttons = kButtons,
//       .draw = DrawSettings, .act = ActOnSettings};
//   const int result = RunPage(kSettingsPage, run);
//
// One pass of the loop: next event (poll, translate, idle step) -> the
// navigation row -> the page's hooks for held keys and clicks, which may turn
// the event into another (a changed selection, a button) -> `act` -> the
// pending message -> a full redraw when the page asked for one. `draw`
// draws everything the page shows beyond its header and buttons; what a
// single action changes, `act` redraws itself.
//
// A page ends when `act` calls `run.Finish(code)`: option pages (second or
// third digit of the number not 0) end with 3 ("DONE") or 25 ("ABORTED"),
// which the standard actions below give without any code of the page; a
// module screen ends when the navigation row changed the selector
// (`kPageNavigated`).

struct ModuleSession;  // the open module's data; defined by the pages (ui/pages/module_session.h)

inline constexpr int kPageRunning = -1;
inline constexpr int kPageNavigated = -2;

// Actions the loop knows. kApplyAction ("fAPPLY", "fSTORE", "fCOMPUTE"): the
// page's act runs first (it computes and may end the page itself or leave
// an error message); if it did neither the page ends with 3. kCancelAction
// ("fCANCEL"): the page ends with 25 without calling act.
inline constexpr int kApplyAction = 1000;
inline constexpr int kCancelAction = 1001;
inline constexpr int kNoAction = -1;

// One button of the page's bar: its place, its label (kind letter first)
// and the page's own number for what it does.
struct PageButton {
  int column = 0;
  int row = 0;
  const char* label = "";
  int action = kNoAction;
};

// One button of a module's navigation row (lower row): pressing it sets the
// selector to target and ends the page.
struct NavigationButton {
  int column = 0;
  const char* label = "";
  uint16_t target = 0;
};

// What one run of a page shares with its functions.
struct PageRun {
  ModuleSession* session = nullptr;                // the open module (null on the main menu)
  uint16_t* selector = nullptr;                    // the module's screen selector, when navigating
  std::span<const NavigationButton> navigation;    // the navigation row, drawn with the page's buttons
  int result = kPageRunning;
  uint8_t message = 0;      // shown after act, then 0
  std::string appended;     // text appended to that message
  bool redrawAll = false;   // header, buttons and draw again after act

  void Finish(int code) { result = code; }
  void Show(uint8_t number, std::string appendedText = {}) {
    message = number;
    appended = std::move(appendedText);
  }
  bool Running() const { return result == kPageRunning; }
};

struct Page {
  const char* title = "";
  const char* number = "0.0.0";
  std::span<const PageButton> buttons;
  // Everything but header and buttons; may be null.
  void (*draw)(PageRun& run) = nullptr;
  // A button (action from the table) or a translated event (action kNoAction).
  void (*act)(PageRun& run, int action, const PageEvent& event) = nullptr;
  // Whether a button of the table stands on the bar now (all when null).
  bool (*shows)(const PageRun& run, const PageButton& button) = nullptr;
  // A held polled key that is no button (arrows, R, 0): the event act gets
  // instead (None for nothing).
  PageEvent (*held)(PageRun& run, const PageEvent& event) = nullptr;
  // A click outside the button bar, likewise.
  PageEvent (*mouse)(PageRun& run, const PageEvent& event) = nullptr;
  // Every pass of the loop (a clock, a playing position).
  void (*idle)(PageRun& run) = nullptr;
  // Held UP or DOWN repeats every 150 ms while nothing plays (browser lists).
  bool listRepeat = false;
};

// Runs the page until act finishes it or the navigation row changes the
// selector; returns the result (a message code, or kPageNavigated).
int RunPage(const Page& page, PageRun& run);

// Header (forced), the page's buttons, the navigation row and draw.
void DrawWholePage(const Page& page, PageRun& run);

// The page's buttons as the table and `shows` put them on the bar.
void SetPageButtons(const Page& page, const PageRun& run);

// The action of a pressed button of the page; kNoAction when the press was
// none of the page's buttons.
int ActionOf(const Page& page, const PageRun& run, const PageEvent& event);

// The next input as a typed event: a button (with press feedback), a held
// key, a click outside the bar; after nothing an idle step and None.
PageEvent NextPageEvent();

// A page that only shows its title, number and the navigation row: a
// screen whose own content is still to come.
constexpr Page PlaceholderPage(const char* title, const char* number) {
  Page page;
  page.title = title;
  page.number = number;
  return page;
}
