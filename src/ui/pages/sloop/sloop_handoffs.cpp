#include "ui/pages/shared/file_handoffs.h"

#include "core/message_codes.h"

// The SLOOP pages the file operations screen opens; "ABORTED" until built.

int LoadSloopInput(PageRun&, const std::string&) { return kMsgAborted; }
int RunSloopRendering(PageRun&, const std::string&) { return kMsgAborted; }
