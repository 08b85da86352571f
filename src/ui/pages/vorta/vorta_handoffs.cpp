#include "ui/pages/shared/file_handoffs.h"

#include "core/message_codes.h"

// The VORTA pages the file operations screen opens. Until a page exists its
// hand-off answers "ABORTED" and changes nothing.

int RunVortaSampleAnalysis(PageRun&, const std::string&, bool) { return kMsgAborted; }
