#pragma once

// Where threads run. On systems that cannot tell or move threads these do
// nothing.

// The processor the calling thread runs on now, or -1 when unknown.
int CurrentProcessor();

// When the calling thread runs on `processor` and may run on another, moves
// it to one of the others; afterwards it may run anywhere it could before
// (the system then keeps it where it is until it has reason to move it).
void LeaveProcessor(int processor);
