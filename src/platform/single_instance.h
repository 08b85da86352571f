#pragma once
#include <atomic>
#include <string>

// Keeps one running copy of the program. The first instance listens on an
// abstract local socket named after the window class; a later launch finds
// it, asks it to raise its window and ends.
struct SingleInstance {
  int listenSocket = -1;
  std::atomic<bool> raiseRequested{false};
};

enum class InstanceClaim { First, AnotherRunning };

// Claims the name for this process or, when another process holds it, asks
// that one to raise its window. Claiming fails open (First) when sockets are
// unavailable, so a broken socket layer never keeps the program from starting.
InstanceClaim ClaimSingleInstance(SingleInstance& instance, const std::string& name);

// Answers pending raise requests without blocking; true when one arrived
// since the last call.
bool PollRaiseRequest(SingleInstance& instance);

void ReleaseSingleInstance(SingleInstance& instance);
