#pragma once
#include <cstdint>

// The page of the recycle bin shown last, kept for the next visit (1 at
// start).
extern uint16_t gRecycleBinPage;

// The recycle bin (state 10): the list of "00 Currently Unrecognized
// Files" with paging, find, delete, clear and explore. Returns on
// "iMENU<>".
void RunRecycleBinPage();
