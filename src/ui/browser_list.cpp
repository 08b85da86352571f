#include "ui/browser_list.h"

#include "ui/input.h"

namespace {

constexpr int kListLeft = 62;
constexpr int kListRight = 961;
constexpr int kNarrowListRight = 420;
constexpr int kListTop = 141;
constexpr int kListBottom = 652;
constexpr int kRowPitch = 32;

}  // namespace

PageEvent StepList(BrowserList& list, const PageEvent& event) {
  if (list.fileCount == 0) return {};
  if (event.kind == EventKind::Key) {
    const int key = event.key;
    if (key == kKeyLeft || key == kKeyRight) {
      if (!ModifierHeld()) return PageEvent::Press(key == kKeyLeft ? kPageBackCode : kPageForwardCode);
      return list.selected >= 0 ? PageEvent::Selection() : PageEvent{};
    }
    if ((key != kKeyUp && key != kKeyDown) || list.last < list.first) return {};
    // Past either end the selection wraps; from no selection DOWN starts
    // at the first line and UP at the last.
    int index = list.selected + (key == kKeyUp ? -1 : 1);
    if (index > list.last || index < list.first) index = key == kKeyDown ? list.first : list.last;
    list.selected = static_cast<int16_t>(index);
    return PageEvent::Selection();
  }
  if (event.kind != EventKind::Click) return {};
  const int right = list.narrow ? kNarrowListRight : kListRight;
  if (event.x < kListLeft || event.x > right || event.y < kListTop || event.y > kListBottom) return {};
  const int index = list.first + (event.y - kListTop) / kRowPitch;
  if (index > list.last) return {};
  list.selected = static_cast<int16_t>(index);
  return PageEvent::Selection();
}

MessageCode PageList(BrowserList& list, uint8_t code, bool& changed) {
  if (code != kPageBackCode && code != kPageForwardCode) return kMsgNone;
  if (list.pageCount == 1) {
    changed = false;
    return kMsgSinglePage;
  }
  const uint16_t count = list.pageCount == 0 ? 1 : list.pageCount;
  if (code == kPageBackCode) {
    list.page = list.page <= 1 ? count : static_cast<uint16_t>(list.page - 1);
  } else {
    list.page = static_cast<uint16_t>(list.page % count + 1);
  }
  list.selected = -1;
  changed = true;
  return kMsgNone;
}
