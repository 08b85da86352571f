// The display thread of the real program: it alone calls SDL's video
// functions. It owns the window, turns SDL events into the shared input
// record, and copies the dirty part of the frame buffer to the window.
#include <SDL.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/clock.h"
#include "platform/shell.h"
#include "platform/single_instance.h"
#include "platform/window.h"
#include "platform/window_link.h"

namespace {

// Set by the main thread, acted on by the display thread, which owns the window.
std::atomic<bool> gMinimiseRequested{false};

constexpr int kIdleWaitMillis = 50;  // wake-up for the idle timer and raise requests
constexpr int kDefaultRefreshHz = 60;
// Room for the window's title bar and frame when choosing the scale.
constexpr int kDecorationAllowance = 48;
constexpr int kLeaveWaitMillis = 2000;  // a window that takes longer is joined as usual
constexpr int kLeavePollMillis = 2;

struct SdlDisplay {
  std::thread thread;
  std::atomic<bool> stopRequested{false};
  std::atomic<uint32_t> wakeEvent{0};

  std::mutex dirtyLock;
  PixelRect dirty;

  std::mutex iconLock;
  IconImage pendingIcon;
  bool iconPending = false;

  std::mutex readyLock;
  std::condition_variable readyEvent;
  bool readyAnswered = false;
  WindowOpenResult result = WindowOpenResult::WindowFailed;
  DisplayLayout layout;

  std::atomic<bool> wakePending{false};  // a wake-up event is on its way
  std::atomic<bool> windowGone{false};   // the window is destroyed, only SDL's teardown is left

  std::atomic<int> scale{1};             // device pixels per canvas pixel
  SDL_Surface* scaledSurface = nullptr;  // the frame buffer enlarged, when scale > 1

  uint8_t controlKeys = 0;  // left and right keys of each modifier pair
  uint8_t shiftKeys = 0;
  uint8_t altKeys = 0;
};

// Never destroyed: SDL may end the process from its own thread (a lost X
// connection), and a joinable thread must not be torn down then.
SdlDisplay& gDisplay = *new SdlDisplay;

// Interrupt, terminate and hang-up signals ask the window to close, so the
// settings are written as on any other close.
volatile sig_atomic_t gCloseSignal = 0;

void OnCloseSignal(int) { gCloseSignal = 1; }

void InstallCloseSignals() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

void Wake() {
  const uint32_t type = gDisplay.wakeEvent;
  if (type == 0 || gDisplay.wakePending.exchange(true)) return;
  SDL_Event event{};
  event.type = type;
  SDL_PushEvent(&event);
}

void Answer(WindowOpenResult result, const DisplayLayout& layout) {
  std::lock_guard<std::mutex> hold(gDisplay.readyLock);
  gDisplay.result = result;
  gDisplay.layout = layout;
  gDisplay.readyAnswered = true;
  gDisplay.readyEvent.notify_all();
}

// SDL key to the program's key number; -1 for keys it does not track.
int KeyNumber(SDL_Keycode key) {
  if (key >= SDLK_F1 && key <= SDLK_F12) return kKeyF1 + static_cast<int>(key - SDLK_F1);
  if (key >= SDLK_a && key <= SDLK_z) return kKeyLetterA + static_cast<int>(key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return kKeyDigit0 + static_cast<int>(key - SDLK_0);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return kKeyNumpad0 + 1 + static_cast<int>(key - SDLK_KP_1);
  switch (key) {
    case SDLK_KP_0: return kKeyNumpad0;
    case SDLK_LEFT: return kKeyLeft;
    case SDLK_UP: return kKeyUp;
    case SDLK_RIGHT: return kKeyRight;
    case SDLK_DOWN: return kKeyDown;
    case SDLK_ESCAPE: return kKeyEscape;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return kKeyReturn;
    case SDLK_BACKSPACE: return kKeyBackspace;
    case SDLK_TAB: return kKeyTab;
    case SDLK_SPACE: return kKeySpace;
    default: return -1;
  }
}

// Left and right modifier keys count as one key, held while either is.
bool ModifierPair(SDL_Keycode key, uint8_t*& bits, uint8_t& bit, int& number) {
  switch (key) {
    case SDLK_LCTRL: bits = &gDisplay.controlKeys; bit = 1; number = kKeyControl; return true;
    case SDLK_RCTRL: bits = &gDisplay.controlKeys; bit = 2; number = kKeyControl; return true;
    case SDLK_LSHIFT: bits = &gDisplay.shiftKeys; bit = 1; number = kKeyShift; return true;
    case SDLK_RSHIFT: bits = &gDisplay.shiftKeys; bit = 2; number = kKeyShift; return true;
    case SDLK_LALT: bits = &gDisplay.altKeys; bit = 1; number = kKeyAlt; return true;
    case SDLK_RALT: bits = &gDisplay.altKeys; bit = 2; number = kKeyAlt; return true;
    default: return false;
  }
}

void OnKey(const SDL_KeyboardEvent& event, bool down) {
  const int64_t now = NowMillis();
  // Keys reach only the window with the keyboard focus, whether or not a
  // focus event came first.
  if (!Link().focused) NoteFocus(true);
  uint8_t* bits = nullptr;
  uint8_t bit = 0;
  int number = -1;
  if (ModifierPair(event.keysym.sym, bits, bit, number)) {
    *bits = down ? static_cast<uint8_t>(*bits | bit) : static_cast<uint8_t>(*bits & ~bit);
    if (*bits != 0) {
      NoteKeyDown(number, now);
    } else {
      NoteKeyUp(number);
    }
    return;
  }
  number = KeyNumber(event.keysym.sym);
  if (!down) {
    if (number >= 0) NoteKeyUp(number);
    return;
  }
  NoteKeyDown(number, now);
  // Backspace, return and escape reach the character queue as control
  // characters, repeated while held like typed characters.
  if (number == kKeyBackspace || number == kKeyReturn || number == kKeyEscape) {
    NoteCharacter(static_cast<uint8_t>(number));
  }
}

// Typed text arrives as UTF-8; the program's character set is Latin-1.
void OnText(const char* text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  for (size_t i = 0; bytes[i] != 0;) {
    uint32_t code = bytes[i];
    size_t length = 1;
    if ((code & 0xE0) == 0xC0 && bytes[i + 1] != 0) {
      code = ((code & 0x1F) << 6) | (bytes[i + 1] & 0x3F);
      length = 2;
    } else if (code >= 0x80) {
      while (bytes[i + length] != 0 && (bytes[i + length] & 0xC0) == 0x80) ++length;
      code = 0xFFFF;
    }
    if (code >= 32 && code <= 255 && code != 127) NoteCharacter(static_cast<uint8_t>(code));
    i += length;
  }
}

// A window position in canvas pixels (rounded down, also left of and
// above the window while the mouse is captured).
int Unscaled(int position) {
  const int scale = gDisplay.scale;
  return position >= 0 ? position / scale : -((-position + scale - 1) / scale);
}

int ButtonKind(uint8_t button, int leftKind) {
  const int offset = leftKind - kMouseLeftDown;  // 0 down, 1 up, 2 double
  switch (button) {
    case SDL_BUTTON_LEFT: return kMouseLeftDown + offset;
    case SDL_BUTTON_RIGHT: return kMouseRightDown + offset;
    case SDL_BUTTON_MIDDLE: return kMouseMiddleDown + offset;
    default: return kMouseExtraDown + offset;
  }
}

void OnMouseButton(const SDL_MouseButtonEvent& event, bool down) {
  int kind = down ? (event.clicks == 2 ? kMouseLeftDouble : kMouseLeftDown) : kMouseLeftUp;
  kind = ButtonKind(event.button, kind);
  if (event.button == SDL_BUTTON_LEFT) SDL_CaptureMouse(down ? SDL_TRUE : SDL_FALSE);
  NoteMouse(kind, Unscaled(event.x), Unscaled(event.y), NowMillis());
}

void MarkAllDirty() {
  const FrameBuffer& frame = Link().frame;
  std::lock_guard<std::mutex> hold(gDisplay.dirtyLock);
  gDisplay.dirty = {0, 0, frame.width, frame.height};
}

void OnWindowEvent(const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      NoteFocus(true);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      SDL_CaptureMouse(SDL_FALSE);
      gDisplay.controlKeys = gDisplay.shiftKeys = gDisplay.altKeys = 0;
      NoteFocus(false);
      break;
    case SDL_WINDOWEVENT_MOVED:
      Link().windowX = event.data1;
      Link().windowY = event.data2;
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
      MarkAllDirty();
      break;
    case SDL_WINDOWEVENT_CLOSE:
      NoteCloseRequest();
      break;
    default:
      break;
  }
}

void HandleEvent(const SDL_Event& event) {
  if (event.type == gDisplay.wakeEvent) {
    gDisplay.wakePending = false;
    return;
  }
  switch (event.type) {
    case SDL_KEYDOWN: OnKey(event.key, true); break;
    case SDL_KEYUP: OnKey(event.key, false); break;
    case SDL_TEXTINPUT: OnText(event.text.text); break;
    case SDL_MOUSEMOTION: NoteMouse(kMouseMove, Unscaled(event.motion.x), Unscaled(event.motion.y), NowMillis()); break;
    case SDL_MOUSEBUTTONDOWN: OnMouseButton(event.button, true); break;
    case SDL_MOUSEBUTTONUP: OnMouseButton(event.button, false); break;
    case SDL_MOUSEWHEEL: {
      const uint32_t last = Link().lastMouse;
      NoteMouse(kMouseWheel, MouseX(last), MouseY(last), NowMillis());
      break;
    }
    case SDL_WINDOWEVENT: OnWindowEvent(event.window); break;
    case SDL_DROPBEGIN: NoteDropBegin(); break;
    case SDL_DROPFILE:
      if (event.drop.file) {
        NoteDroppedPath(event.drop.file);
        SDL_free(event.drop.file);
      }
      break;
    case SDL_DROPCOMPLETE: NoteDropComplete(); break;
    case SDL_QUIT: NoteCloseRequest(); break;
    default: break;
  }
}

SDL_Surface* IconSurface(const IconImage& icon) {
  if (icon.size <= 0 || icon.pixels.size() < static_cast<size_t>(icon.size) * static_cast<size_t>(icon.size)) {
    return nullptr;
  }
  return SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(icon.pixels.data()), icon.size, icon.size, 32,
                                            icon.size * 4, SDL_PIXELFORMAT_ARGB8888);
}

void ApplyIcon(SDL_Window* window, const IconImage& icon) {
  SDL_Surface* surface = IconSurface(icon);
  if (!surface) return;
  SDL_SetWindowIcon(window, surface);
  SDL_FreeSurface(surface);
}

void ApplyPendingIcon(SDL_Window* window) {
  IconImage icon;
  {
    std::lock_guard<std::mutex> hold(gDisplay.iconLock);
    if (!gDisplay.iconPending) return;
    icon = std::move(gDisplay.pendingIcon);
    gDisplay.iconPending = false;
  }
  ApplyIcon(window, icon);
}

void SyncCursor(bool& cursorShown) {
  const bool hide = Link().cursorHidden || Link().applianceMode;
  if (hide == !cursorShown) return;
  SDL_ShowCursor(hide ? SDL_DISABLE : SDL_ENABLE);
  cursorShown = !hide;
}

// Nearest-neighbour enlargement of a rectangle of the frame buffer: each
// canvas pixel becomes a square of scale x scale device pixels, so text and
// lines stay crisp.
void EnlargeRect(const FrameBuffer& frame, const PixelRect& rect, int scale, SDL_Surface* scaled) {
  auto* base = static_cast<uint8_t*>(scaled->pixels);
  for (int y = rect.y0; y < rect.y1; ++y) {
    const Colour* from = frame.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(frame.width);
    auto* first = reinterpret_cast<uint32_t*>(base + static_cast<size_t>(y * scale) * static_cast<size_t>(scaled->pitch));
    for (int x = rect.x0; x < rect.x1; ++x) std::fill_n(first + x * scale, scale, from[x]);
    const size_t bytes = static_cast<size_t>(rect.x1 - rect.x0) * static_cast<size_t>(scale) * 4;
    for (int copy = 1; copy < scale; ++copy) {
      std::memcpy(base + static_cast<size_t>(y * scale + copy) * static_cast<size_t>(scaled->pitch) +
                      static_cast<size_t>(rect.x0 * scale) * 4,
                  first + rect.x0 * scale, bytes);
    }
  }
}

// Copies the dirty rectangle to the window unless a batch is open.
void Present(SDL_Window* window, SDL_Surface* frameSurface) {
  if (Link().repaintHold != 0) return;
  PixelRect dirty;
  {
    std::lock_guard<std::mutex> hold(gDisplay.dirtyLock);
    dirty = gDisplay.dirty;
    gDisplay.dirty = {};
  }
  FrameBuffer& frame = Link().frame;
  dirty = IntersectRects(dirty, {0, 0, frame.width, frame.height});
  if (dirty.Empty()) return;
  SDL_Surface* target = SDL_GetWindowSurface(window);
  if (!target) return;
  SDL_Rect source{dirty.x0, dirty.y0, dirty.x1 - dirty.x0, dirty.y1 - dirty.y0};
  const int scale = gDisplay.scale;
  SDL_Surface* scaled = gDisplay.scaledSurface;
  if (scale > 1 && scaled) {
    {
      std::lock_guard<std::timed_mutex> hold(frame.lock);  // painting waits without limit
      EnlargeRect(frame, dirty, scale, scaled);
    }
    source = {source.x * scale, source.y * scale, source.w * scale, source.h * scale};
    SDL_Rect destination = source;
    SDL_BlitSurface(scaled, &source, target, &destination);
  } else {
    SDL_Rect destination = source;
    std::lock_guard<std::timed_mutex> hold(frame.lock);  // painting waits without limit
    SDL_BlitSurface(frameSurface, &source, target, &destination);
  }
  SDL_UpdateWindowSurfaceRects(window, &source, 1);
}

bool DirtyPending() {
  std::lock_guard<std::mutex> hold(gDisplay.dirtyLock);
  return !gDisplay.dirty.Empty();
}

// A stored window position that no longer lies on the desktop (another
// monitor setup) gives a centred window instead of an unreachable one.
void WindowPlace(const WindowRequest& request, int& x, int& y) {
  x = request.windowX;
  y = request.windowY;
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return;
  const bool visible = x + 64 <= usable.x + usable.w && y + 32 <= usable.y + usable.h && x + kCanvasWidth >= usable.x + 64 &&
                       y >= usable.y - 16;
  if (!visible) x = y = SDL_WINDOWPOS_CENTERED;
}

void DisplayThreadMain(WindowRequest request) {
  DisplayLayout layout;
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The frame buffer goes to the screen as it is: no GL context needed.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    Answer(WindowOpenResult::WindowFailed, layout);
    return;
  }
  const Uint32 wakeType = SDL_RegisterEvents(1);
  gDisplay.wakeEvent = wakeType == static_cast<Uint32>(-1) ? 0 : wakeType;
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
    mode.w = kCanvasWidth;
    mode.h = kCanvasHeight;
  }
  // Large screens show the canvas at a whole multiple: the desktop's usable
  // area decides in window mode, the whole screen in full screen.
  const int forcedScale = ForcedDisplayScale(std::getenv("SONICLOOM_SCALE"));
  int scale = DisplayScale(mode.w, mode.h, forcedScale);
  if (!LayOutDisplay(mode.w, mode.h, request.fullScreen).fullScreen) {
    SDL_Rect usable{0, 0, mode.w, mode.h};
    SDL_GetDisplayUsableBounds(0, &usable);
    scale = DisplayScale(usable.w, usable.h - kDecorationAllowance, forcedScale);
  }
  gDisplay.scale = scale;
  layout = LayOutScaledDisplay(mode.w, mode.h, request.fullScreen, scale);
  const int refreshMillis = 1000 / (mode.refresh_rate > 0 ? mode.refresh_rate : kDefaultRefreshHz);

  SDL_Window* window = nullptr;
  if (layout.fullScreen) {
    window = SDL_CreateWindow(request.title.c_str(), 0, 0, layout.screenW, layout.screenH,
                              SDL_WINDOW_HIDDEN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
  } else {
    int x = 0;
    int y = 0;
    WindowPlace(request, x, y);
    window = SDL_CreateWindow(request.title.c_str(), x, y, kCanvasWidth * scale, kCanvasHeight * scale,
                              SDL_WINDOW_HIDDEN);
  }
  if (!window) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    Answer(WindowOpenResult::WindowFailed, layout);
    return;
  }
  ApplyIcon(window, request.icon);
  FrameBuffer& frame = Link().frame;
  SetUpFrameBuffer(frame, layout);
  SDL_Surface* frameSurface = SDL_CreateRGBSurfaceWithFormatFrom(frame.pixels.data(), frame.width, frame.height, 32,
                                                                 frame.width * 4, SDL_PIXELFORMAT_RGB888);
  if (frameSurface && scale > 1) {
    gDisplay.scaledSurface = SDL_CreateRGBSurfaceWithFormat(0, frame.width * scale, frame.height * scale, 32,
                                                            SDL_PIXELFORMAT_RGB888);
    if (!gDisplay.scaledSurface) gDisplay.scale = 1;
  }
  if (!frameSurface) {
    ReleaseFrameBuffer(frame);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    Answer(WindowOpenResult::WindowFailed, layout);
    return;
  }
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  SDL_StartTextInput();
  int x = 0;
  int y = 0;
  SDL_GetWindowPosition(window, &x, &y);
  Link().windowX = x;
  Link().windowY = y;
  Link().focused = (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
  bool cursorShown = true;
  SyncCursor(cursorShown);
  MarkAllDirty();
  Answer(WindowOpenResult::Ready, layout);

  int64_t nextPresent = 0;
  while (!gDisplay.stopRequested) {
    int wait = kIdleWaitMillis;
    if (DirtyPending() && Link().repaintHold == 0) {
      wait = static_cast<int>(std::clamp<int64_t>(nextPresent - NowMillis(), 0, kIdleWaitMillis));
    }
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, wait)) {
      HandleEvent(event);
      while (SDL_PollEvent(&event)) HandleEvent(event);
    }
    const int64_t now = NowMillis();
    if (gCloseSignal) {
      gCloseSignal = 0;
      NoteCloseRequest();
    }
    CheckIdleTimer(now);
    ApplyPendingIcon(window);
    SyncCursor(cursorShown);
    if (gMinimiseRequested.exchange(false)) SDL_MinimizeWindow(window);
    if (request.instance && PollRaiseRequest(*request.instance)) {
      SDL_RestoreWindow(window);
      SDL_RaiseWindow(window);
    }
    if (now >= nextPresent && DirtyPending() && Link().repaintHold == 0) {
      Present(window, frameSurface);
      nextPresent = now + refreshMillis;
    }
  }

  SDL_CaptureMouse(SDL_FALSE);
  SDL_StopTextInput();
  if (!cursorShown) SDL_ShowCursor(SDL_ENABLE);
  SDL_FreeSurface(frameSurface);
  if (gDisplay.scaledSurface) SDL_FreeSurface(gDisplay.scaledSurface);
  gDisplay.scaledSurface = nullptr;
  gDisplay.scale = 1;
  ReleaseFrameBuffer(frame);
  SDL_DestroyWindow(window);
  gDisplay.windowGone = true;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace

WindowOpenResult OpenDisplayWindow(const WindowRequest& request, DisplayLayout& layout) {
  if (gDisplay.thread.joinable()) CloseDisplayWindow();
  InstallCloseSignals();
  ResetWindowLink(NowMillis());
  gDisplay.stopRequested = false;
  gDisplay.wakeEvent = 0;
  gDisplay.wakePending = false;
  gDisplay.readyAnswered = false;
  gDisplay.windowGone = false;
  gDisplay.dirty = {};
  gDisplay.controlKeys = gDisplay.shiftKeys = gDisplay.altKeys = 0;
  try {
    gDisplay.thread = std::thread(DisplayThreadMain, request);
  } catch (const std::system_error&) {
    return WindowOpenResult::ThreadFailed;
  }
  std::unique_lock<std::mutex> hold(gDisplay.readyLock);
  gDisplay.readyEvent.wait(hold, [] { return gDisplay.readyAnswered; });
  layout = gDisplay.layout;
  const WindowOpenResult result = gDisplay.result;
  hold.unlock();
  if (result != WindowOpenResult::Ready) gDisplay.thread.join();
  return result;
}

void CloseDisplayWindow(bool leaving) {
  if (!gDisplay.thread.joinable()) return;
  gDisplay.stopRequested = true;
  Wake();
  if (leaving) {
    const int64_t until = NowMillis() + kLeaveWaitMillis;
    while (!gDisplay.windowGone && NowMillis() < until) SleepMillis(kLeavePollMillis);
    if (gDisplay.windowGone) {
      gDisplay.thread.detach();  // the process ends before SDL has shut its video down
      return;
    }
  }
  gDisplay.thread.join();
  gDisplay.wakeEvent = 0;
}

void PushFrameRect(const PixelRect& deviceRect) {
  if (deviceRect.Empty()) return;
  {
    std::lock_guard<std::mutex> hold(gDisplay.dirtyLock);
    gDisplay.dirty = UniteRects(gDisplay.dirty, deviceRect);
  }
  Wake();
}

void SetWindowIcon(const IconImage& icon) {
  {
    std::lock_guard<std::mutex> hold(gDisplay.iconLock);
    gDisplay.pendingIcon = icon;
    gDisplay.iconPending = true;
  }
  Wake();
}

// SDL keeps the desktop's own saver off while the program runs, so the
// program's saver is the one that works in full screen.
bool SystemScreenSaverConfigured() { return false; }

void RecordDrawnText(int, int, std::string_view, Colour, Colour) {}

void MinimiseDisplayWindow() { gMinimiseRequested = true; }
