#include "platform/processor_placement.h"

#if defined(__linux__)
#include <sched.h>

int CurrentProcessor() { return sched_getcpu(); }

void LeaveProcessor(int processor) {
  if (processor < 0 || processor >= CPU_SETSIZE || sched_getcpu() != processor) return;
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0 || !CPU_ISSET(processor, &allowed)) return;
  cpu_set_t others = allowed;
  CPU_CLR(processor, &others);
  if (CPU_COUNT(&others) == 0) return;
  if (sched_setaffinity(0, sizeof others, &others) != 0) return;
  sched_setaffinity(0, sizeof allowed, &allowed);
}
#else
int CurrentProcessor() { return -1; }
void LeaveProcessor(int) {}
#endif
