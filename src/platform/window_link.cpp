#include "platform/window_link.h"

WindowLink& Link() {
  static WindowLink link;
  return link;
}

void ResetWindowLink(int64_t now) {
  WindowLink& link = Link();
  {
    std::lock_guard<std::mutex> hold(link.inputLock);
    link.characters.clear();
    link.dropBatch.clear();
    link.dropOpen = false;
    link.droppedPaths.clear();
    link.keyPresses.clear();
    link.mouseSlotFilled.fill(false);
    link.mouseSlot.fill(0);
  }
  for (auto& key : link.keyDown) key = 0;
  link.lastMouse = 0;
  link.captured = false;
  link.focused = false;
  link.saverDue = false;
  link.cursorHidden = false;
  link.closeAllowed = true;
  link.closeRequested = false;
  link.repaintHold = 0;
  link.idleTimerStart = now;
}

uint32_t PackMousePosition(int x, int y) {
  return (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x);
}
int MouseX(uint32_t position) { return static_cast<int16_t>(position & 0xFFFF); }
int MouseY(uint32_t position) { return static_cast<int16_t>(position >> 16); }

namespace {

bool ValidKey(int key) { return key >= 0 && key < kKeyCount; }

// Any keyboard or mouse message restarts the idle timer and ends the saver.
void NoteActivity(int64_t now) {
  WindowLink& link = Link();
  link.idleTimerStart = now;
  link.saverDue = false;
}

void Signal(WindowLink& link) {
  ++link.inputSerial;
  link.inputEvent.notify_all();
}

}  // namespace

void NoteKeyDown(int key, int64_t now) {
  WindowLink& link = Link();
  NoteActivity(now);
  std::lock_guard<std::mutex> hold(link.inputLock);
  // Set under the lock, so that TakeKeyPress never sees a key down whose
  // press is not queued yet. Auto-repeat of a held key is no new press.
  if (ValidKey(key) && link.keyDown[key] == 0) {
    link.keyDown[key] = 1;
    const bool modifier = link.keyDown[kKeyControl] != 0 || link.keyDown[kKeyEscape] != 0;
    link.keyPresses.push_back({static_cast<uint16_t>(key), modifier});
  }
  Signal(link);
}

void NoteKeyUp(int key) {
  WindowLink& link = Link();
  if (ValidKey(key)) link.keyDown[key] = 0;
  std::lock_guard<std::mutex> hold(link.inputLock);
  Signal(link);
}

void NoteCharacter(uint8_t character) {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  link.characters.push_back(character);
  Signal(link);
}

void NoteMouse(int kind, int clientX, int clientY, int64_t now) {
  if (kind < 0 || kind >= kMouseKindCount) return;
  WindowLink& link = Link();
  if (kind == kMouseLeftDown || kind == kMouseLeftDouble) link.captured = true;
  if (kind == kMouseLeftUp) link.captured = false;
  const uint32_t position = PackMousePosition(clientX, clientY);
  link.lastMouse = position;
  NoteActivity(now);
  std::lock_guard<std::mutex> hold(link.inputLock);
  link.mouseSlot[kind] = position;
  link.mouseSlotFilled[kind] = true;
  Signal(link);
}

void NoteFocus(bool hasFocus) {
  WindowLink& link = Link();
  link.focused = hasFocus;
  if (!hasFocus) {
    // Keys released while another window has the keyboard never report
    // their release here; forget them so that none stays held.
    link.captured = false;
    for (auto& key : link.keyDown) key = 0;
  }
  std::lock_guard<std::mutex> hold(link.inputLock);
  Signal(link);
}

void NoteCloseRequest() {
  WindowLink& link = Link();
  if (!link.closeAllowed) return;
  link.closeRequested = true;
  std::lock_guard<std::mutex> hold(link.inputLock);
  Signal(link);
}

bool CheckIdleTimer(int64_t now) {
  WindowLink& link = Link();
  const int64_t start = link.idleTimerStart;
  if (now - start < kIdleTimerMillis) return false;
  // A repeating timer: the next tick is 15 minutes after this one.
  link.idleTimerStart = start + kIdleTimerMillis * ((now - start) / kIdleTimerMillis);
  link.saverDue = link.saverAllowed.load();
  return true;
}

bool PopCharacter(uint8_t& character) {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  if (link.characters.empty()) return false;
  character = link.characters.front();
  link.characters.pop_front();
  return true;
}

bool CharacterQueued() {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  return !link.characters.empty();
}

void DropCharacters() {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  link.characters.clear();
}

bool MouseSlotFilled(int kind) {
  if (kind < 0 || kind >= kMouseKindCount) return false;
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  return link.mouseSlotFilled[kind];
}

void FlushMouseSlots(int kindCount) {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  for (int kind = 0; kind < kindCount && kind < kMouseKindCount; ++kind) link.mouseSlotFilled[kind] = false;
}

bool TakeKeyPress(std::span<const int> keys, bool scanHeld, KeyPress& press) {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  auto wanted = [&](int key) {
    for (int k : keys) {
      if (k == key) return true;
    }
    return false;
  };
  while (!link.keyPresses.empty()) {
    const KeyPress next = link.keyPresses.front();
    link.keyPresses.pop_front();
    if (!wanted(next.key)) continue;
    press = next;
    return true;
  }
  if (!scanHeld) return false;
  for (int key : keys) {
    if (!ValidKey(key) || link.keyDown[key] == 0) continue;
    press = {static_cast<uint16_t>(key), link.keyDown[kKeyControl] != 0 || link.keyDown[kKeyEscape] != 0};
    return true;
  }
  return false;
}

void DropKeyPresses() {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  link.keyPresses.clear();
}

bool KeyIsDown(int key) { return ValidKey(key) && Link().keyDown[key] != 0; }

uint64_t InputSerial() {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  return link.inputSerial;
}

void NoteDropBegin() {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  link.dropOpen = true;
}

void NoteDroppedPath(const std::string& path) {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  if (link.dropOpen) {
    link.dropBatch.push_back(path);
    return;
  }
  link.droppedPaths.push_back(path);
  Signal(link);
}

void NoteDropComplete() {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  link.dropOpen = false;
  link.droppedPaths.insert(link.droppedPaths.end(), link.dropBatch.begin(), link.dropBatch.end());
  link.dropBatch.clear();
  Signal(link);
}

bool DropsPending() {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  return !link.droppedPaths.empty();
}

std::vector<std::string> TakeDroppedPaths() {
  WindowLink& link = Link();
  std::lock_guard<std::mutex> hold(link.inputLock);
  std::vector<std::string> paths;
  paths.swap(link.droppedPaths);
  return paths;
}
