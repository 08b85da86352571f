#include "ui/pages/shared/file_handoffs.h"

#include "core/message_codes.h"

// The VORTA pages the file operations screen opens. Until a page exists its
// hand-off answers "ABORTED" and changes nothing.

int RunVortaRendering(PageRun&, int, const std::string&) { return kMsgAborted; }
int RunVortaSysexModify(PageRun&, const std::string&) { return kMsgAborted; }
