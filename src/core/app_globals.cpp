#include "core/app_globals.h"

#include <cctype>

AppGlobals gApp;

void BuildIdentityStrings(AppGlobals& app) {
  app.manualFileName = std::string(kProductName) + ".pdf";
  app.pendingManualName = kPendingManualName;
  app.programTitle = std::string(kProductName) + " " + kVersionText;
  app.screenTitle = app.programTitle;
  for (char& c : app.screenTitle) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  app.windowClassName = kWindowClassName;
}
