#pragma once
#include <functional>
#include <string>

// One file a sorting run handed over: where it lay, where it belongs, and
// the name it has there (a numbered name when its own was taken, the
// existing copy's name when an identical copy made it redundant).
struct SortedFile {
  int from = 0;
  int to = 0;
  std::string name;
  std::string newName;  // empty when it stays under its own name where it was
  bool failed = false;  // the move was refused; the file stayed where it was
};

// What a library operation shows or asks while it runs. The pages fill in
// what they can show; an empty member is simply skipped, so that tests and
// the boot sequence can run the operations without a screen.
struct LibraryFeedback {
  std::function<void(int messageCode)> showMessage;    // the message line
  std::function<void(const char* text)> showCentred;   // a note in the middle of the screen
  std::function<void(bool refused)> refuseClosing;     // the window may not close meanwhile
  std::function<void(int milliseconds)> pause;
  std::function<void(int filesHandled)> progress;      // after each file of a sorting run
  std::function<void(const SortedFile& file)> sorted;   // each file of a sorting run
  // Another process is changing the library: true waits for it (the
  // default, with "UPDATING FILE SYSTEM, PLEASE WAIT" on the message line),
  // false gives up and leaves every file as it is.
  std::function<bool()> libraryBusy;
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
inline void ReportSortedFile(const LibraryFeedback& feedback, const SortedFile& file) {
  if (feedback.sorted) feedback.sorted(file);
}
