#pragma once
#include "platform/display_layout.h"

// The display window as the main thread sees it.
struct DisplayState {
  bool started = false;
  DisplayLayout layout;  // visible logical rectangle and full-screen flag
};

extern DisplayState gDisplayState;

// Once at launch: prepares the window icons and forgets any pending key.
void RegisterDisplayClass();

// Creates the display window and its thread and waits until it is ready
// (fatal 6 when the thread cannot start, 7 when it ends before it is
// ready). Honours the tall-screen rule: a screen below 800 pixels always
// runs full screen.
void StartDisplay();

// Closes the window and ends the display thread; then, on the main thread,
// stores the window position (window mode) and writes the settings file.
void StopDisplay();
// The same when the program ends: the settings are written as soon as the
// window is gone, without waiting for the display system's teardown.
void StopDisplayForExit();

// While closing is not allowed (a run that must not be interrupted), a
// close request from the window is ignored.
void SetCloseAllowed(bool allowed);

// Acts on a close request from the window: the same as leaving the program
// (settings written, process ends with 0). Called at every input poll, so a
// close never interrupts a write.
void HonourCloseRequest();

// Whether the idle timer may start the screen saver: the setting is on and
// the display is full screen.
void UpdateSaverAllowed();
