#include "ui/browser_list.h"

#include "ui/input.h"

namespace {

constexpr int kListLeft = 62;
constexpr int kListRight = 961;
constexpr int kNarrowListRight = 420;
constexpr int kListTop = 141;
constexpr int kListBottom = 652;
constexpr int kRowPitch = 32;
constexpr uint8_t kPageBackCode = 1;
constexpr uint8_t kPageForwardCode = 2;

}  // namespace

void StepList(BrowserList& list, uint8_t& code, bool& changed) {
  if (list.fileCount == 0) return;
  const uint16_t key = gInput.heldKey;
  if (key == kKeyLeft || key == kKeyRight) {
    if (!ModifierHeld()) {
      code = key == kKeyLeft ? kPageBackCode : kPageForwardCode;
      changed = false;
      return;
    }
    if (list.selected >= 0) code = kSelectionChanged;
    changed = code == kSelectionChanged;
    return;
  }
  if (key == kKeyUp || key == kKeyDown) {
    if (list.last < list.first) {
      changed = code == kSelectionChanged;
      return;
    }
    // Past either end the selection wraps; from no selection DOWN starts
    // at the first line and UP at the last.
    int index = list.selected + (key == kKeyUp ? -1 : 1);
    if (index > list.last || index < list.first) index = key == kKeyDown ? list.first : list.last;
    list.selected = static_cast<int16_t>(index);
    code = kSelectionChanged;
    changed = true;
    return;
  }
  if (key == kNoKey && gInput.clickPolled) {
    const int x = MouseLogicalX();
    const int y = MouseLogicalY();
    const int right = list.narrow ? kNarrowListRight : kListRight;
    if (x >= kListLeft && x <= right && y >= kListTop && y <= kListBottom) {
      const int index = list.first + (y - kListTop) / kRowPitch;
      if (index <= list.last) {
        list.selected = static_cast<int16_t>(index);
        code = kSelectionChanged;
      }
    }
  }
  changed = code == kSelectionChanged;
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
