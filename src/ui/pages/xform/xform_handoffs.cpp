#include "ui/pages/shared/file_handoffs.h"

#include "core/message_codes.h"

// The XFORM pages the file operations screen opens; "ABORTED" until built.

int RunXformSampleAnalysis(PageRun&, const std::string&) { return kMsgAborted; }
