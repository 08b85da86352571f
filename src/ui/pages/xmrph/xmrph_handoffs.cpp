#include "ui/pages/shared/file_handoffs.h"

#include "core/message_codes.h"

// The XMRPH pages the file operations screen opens; "ABORTED" until built.

int RunXmrphLoad(PageRun&, const std::string&, const std::string&) { return kMsgAborted; }
int RunXmrphRendering(PageRun&, const std::string&) { return kMsgAborted; }
