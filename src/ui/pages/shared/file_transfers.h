#pragma once
#include <string>

#include "ui/page.h"

// What "load", "save" and "replace" of the file operations screen do in
// each module. Each returns the message to show; a load that ends with
// "DONE" has switched the module to its page "2.0.0" (the selector set and
// the page finished). name is the file's real name in the list's folder
// (for a save the new name with its extension).
struct FileScreenMemory;

uint8_t LoadIntoVorta(PageRun& run, int category, const std::string& name);
uint8_t LoadIntoXform(PageRun& run, int category, const std::string& name);
uint8_t LoadIntoSloop(PageRun& run, int category, const std::string& name);
// XMRPH loads the two picked files.
uint8_t LoadIntoXmrph(PageRun& run);

// Writes the module's RAM as the file `name` of the folder; newFile refuses
// an existing name ("FILE ALREADY EXISTS").
uint8_t SaveFromVorta(PageRun& run, int category, const std::string& name, bool newFile);
uint8_t SaveFromXform(PageRun& run, int category, const std::string& name, bool newFile);
uint8_t SaveFromSloop(PageRun& run, int category, const std::string& name, bool newFile);
uint8_t SaveFromXmrph(PageRun& run, int category, const std::string& name, bool newFile);

// The folders a VORTA save writes itself with the table writers.
bool VortaWritesDirectly(int category);
// The folders whose save opens a VORTA rendering page.
bool VortaRendersInto(int category);
