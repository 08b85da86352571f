#pragma once
#include "ui/page.h"

// "1.0.0" FILE OPERATIONS of each module: one category folder of the sound
// library as a paged list, with loading into the module's RAM, saving and
// replacing, renaming, deleting, searching, choosing the folder, opening it
// in the file manager and prelistening. The list and its operations are
// the same for all four; the button bar and what load and save do are the
// module's.
extern const Page kVortaFileOperationsPage;
extern const Page kXformFileOperationsPage;
extern const Page kSloopFileOperationsPage;
extern const Page kXmrphFileOperationsPage;
