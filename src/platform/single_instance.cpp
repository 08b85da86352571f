#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr char kRaiseByte = 'R';

socklen_t AbstractAddress(const std::string& name, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  // sun_path[0] = 0 makes the name abstract: no file is created anywhere.
  const size_t length = std::min(name.size(), sizeof(address.sun_path) - 1);
  std::memcpy(address.sun_path + 1, name.data(), length);
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

}  // namespace

InstanceClaim ClaimSingleInstance(SingleInstance& instance, const std::string& name) {
  if (instance.listenSocket >= 0) return InstanceClaim::First;  // already ours
  sockaddr_un address{};
  const socklen_t length = AbstractAddress(name, address);
  const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listener < 0) return InstanceClaim::First;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(listener, 4) == 0) {
    instance.listenSocket = listener;
    return InstanceClaim::First;
  }
  close(listener);
  const int client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (client < 0) return InstanceClaim::First;
  InstanceClaim claim = InstanceClaim::First;
  if (connect(client, reinterpret_cast<sockaddr*>(&address), length) == 0) {
    (void)!write(client, &kRaiseByte, 1);
    claim = InstanceClaim::AnotherRunning;
  }
  close(client);
  return claim;
}

bool PollRaiseRequest(SingleInstance& instance) {
  if (instance.listenSocket < 0) return false;
  bool raised = false;
  for (;;) {
    const int peer = accept4(instance.listenSocket, nullptr, nullptr, SOCK_CLOEXEC);
    if (peer < 0) break;
    raised = true;
    close(peer);
  }
  if (raised) instance.raiseRequested = true;
  return raised;
}

void ReleaseSingleInstance(SingleInstance& instance) {
  if (instance.listenSocket >= 0) close(instance.listenSocket);
  instance.listenSocket = -1;
}
