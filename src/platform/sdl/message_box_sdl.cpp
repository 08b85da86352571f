#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/message_box.h"

void ShowErrorBox(const std::string& caption, const std::string& text, int) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
}

namespace {

bool AskOnTerminal(const std::string& caption, const std::string& text) {
  if (!isatty(STDIN_FILENO)) {
    std::fprintf(stderr, "%s\n\n%s\n\n(no display and no terminal to answer on: cancelled)\n", caption.c_str(),
                 text.c_str());
    return false;
  }
  std::fprintf(stderr, "%s\n\n%s\n\nContinue? [y/N] ", caption.c_str(), text.c_str());
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

}  // namespace

bool AskOkCancel(const std::string& caption, const std::string& text) {
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "Cancel"},
  };
  const SDL_MessageBoxData data = {SDL_MESSAGEBOX_INFORMATION, nullptr, caption.c_str(), text.c_str(),
                                   SDL_arraysize(buttons), buttons, nullptr};
  int pressed = -1;
  if (SDL_ShowMessageBox(&data, &pressed) == 0) return pressed == 1;
  return AskOnTerminal(caption, text);
}
