#pragma once

// The recycle bin (state 10): the list of "00 Currently Unrecognized
// Files" with paging, find, delete, clear and explore; it opens on the page
// shown last. Returns on "iMENU<>".
void RunRecycleBinPage();
