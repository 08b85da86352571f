#include "ui/page.h"

#include "audio/playback_state.h"
#include "core/message_codes.h"
#include "ui/button_bar.h"
#include "ui/input.h"
#include "ui/message_line.h"
#include "ui/page_frame.h"

namespace {

bool Shown(const Page& page, const PageRun& run, const PageButton& button) {
  return !page.shows || page.shows(run, button);
}

const NavigationButton* NavigationOf(const PageRun& run, const PageEvent& event) {
  if (event.kind != EventKind::Button || event.Row() != 1) return nullptr;
  for (const NavigationButton& button : run.navigation) {
    if (button.column == event.Column()) return &button;
  }
  return nullptr;
}

// The event a hook makes of a held key or a click; others pass unchanged.
PageEvent Translated(const Page& page, PageRun& run, const PageEvent& event) {
  if (event.kind == EventKind::Key) return page.held ? page.held(run, event) : PageEvent{};
  if (event.kind == EventKind::Click) return page.mouse ? page.mouse(run, event) : PageEvent{};
  return event;
}

void Act(const Page& page, PageRun& run, const PageEvent& event) {
  const int action = ActionOf(page, run, event);
  if (event.kind == EventKind::Button && action == kNoAction) return;  // not one of the page's buttons
  if (action == kCancelAction) {
    run.Finish(kMsgAborted);
    return;
  }
  if (page.act) page.act(run, action, event);
  if (action == kApplyAction && run.Running() && run.message == 0) run.Finish(kMsgDone);
}

}  // namespace

void SetPageButtons(const Page& page, const PageRun& run) {
  for (const NavigationButton& button : run.navigation) SetButton(button.column, 1, button.label);
  for (const PageButton& button : page.buttons) {
    if (Shown(page, run, button)) SetButton(button.column, button.row, button.label);
  }
}

void DrawWholePage(const Page& page, PageRun& run) {
  DrawPageHeader(page.title, page.number, true);
  if (page.draw) page.draw(run);
  SetPageButtons(page, run);
}

int ActionOf(const Page& page, const PageRun& run, const PageEvent& event) {
  if (event.kind != EventKind::Button) return kNoAction;
  for (const PageButton& button : page.buttons) {
    if (event.IsButton(button.column, button.row) && Shown(page, run, button)) return button.action;
  }
  return kNoAction;
}

PageEvent NextPageEvent() {
  if (!PollInput(true, false)) {
    IdleTick();
    return {};
  }
  const int key = gInput.heldKey;
  if (key == kNoKey && !ClickOnButtonBar()) {
    FlushMouse();
    return PageEvent::ClickAt(MouseLogicalX(), MouseLogicalY());
  }
  if (key != kNoKey && (key < kKeyF1 || key > kKeyF12)) return PageEvent::HeldKey(key);
  uint8_t code = kNoEvent;
  TranslateButton(code);
  if (code == kNoEvent) {
    IdleTick();
    return {};
  }
  return PageEvent::Press(code);
}

int RunPage(const Page& page, PageRun& run) {
  run.result = kPageRunning;
  DrawWholePage(page, run);
  if (run.message != 0) ShowMessage(run.message, run.appended);
  while (run.Running()) {
    if (page.idle) page.idle(run);
    const PageEvent event = NextPageEvent();
    if (const NavigationButton* target = NavigationOf(run, event); target && run.selector) {
      *run.selector = target->target;
      run.Finish(kPageNavigated);
      break;
    }
    const PageEvent translated = Translated(page, run, event);
    if (!translated.None()) Act(page, run, translated);
    if (run.redrawAll && run.Running()) {
      run.redrawAll = false;
      DrawWholePage(page, run);
    }
    if (run.message != 0) ShowMessage(run.message, run.appended);
    run.appended.clear();
    if (page.listRepeat) RepeatListKey(SomethingPlays());
  }
  return run.result;
}
