#include "core/kept_for_run.h"

KeptForRun gKept;
