#pragma once
#include <functional>

// What a library operation shows or asks while it runs. The pages fill in
// what they can show; an empty member is simply skipped, so that tests and
// the boot sequence can run the operations without a screen.
struct LibraryFeedback {
  std::function<void(int messageCode)> showMessage;    // the message line
  std::function<void(const char* text)> showCentred;   // a note in the middle of the screen
  std::function<void(bool refused)> refuseClosing;     // the window may not close meanwhile
  std::function<void(int milliseconds)> pause;
  std::function<void(int filesHandled)> progress;      // after each file of a sorting run
};

inline void ShowLibraryMessage(const LibraryFeedback& feedback, int code) {
  if (feedback.showMessage) feedback.showMessage(code);
}
inline void ShowLibraryNote(const LibraryFeedback& feedback, const char* text) {
  if (feedback.showCentred) feedback.showCentred(text);
}
inline void RefuseClosing(const LibraryFeedback& feedback, bool refused) {
  if (feedback.refuseClosing) feedback.refuseClosing(refused);
}
inline void PauseLibrary(const LibraryFeedback& feedback, int milliseconds) {
  if (feedback.pause) feedback.pause(milliseconds);
}
inline void ReportLibraryProgress(const LibraryFeedback& feedback, int filesHandled) {
  if (feedback.progress) feedback.progress(filesHandled);
}
