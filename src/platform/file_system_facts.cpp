#include "platform/file_system_facts.h"

#include <sys/statfs.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <string>

namespace {

// Magic numbers of network file systems as statfs reports them.
constexpr std::array<unsigned long, 6> kNetworkMagics = {
    0x6969UL,      // NFS
    0x517BUL,      // SMB
    0xFF534D42UL,  // CIFS
    0xFE534D42UL,  // SMB2
    0x564C,        // NCP
    0x6B414653UL,  // AFS
};

// FUSE mounts are network mounts when /proc/self/mounts names a network
// helper (sshfs and friends) for the mount that holds the folder.
bool IsFuseNetworkMount(const std::string& folder) {
  std::ifstream mounts("/proc/self/mounts");
  std::string device, mountPoint, type, rest;
  std::string bestType;
  size_t bestLength = 0;
  while (mounts >> device >> mountPoint >> type) {
    std::getline(mounts, rest);
    const bool contains = folder.compare(0, mountPoint.size(), mountPoint) == 0 &&
                          (folder.size() == mountPoint.size() || mountPoint == "/" ||
                           folder[mountPoint.size()] == '/');
    if (contains && mountPoint.size() >= bestLength) {
      bestLength = mountPoint.size();
      bestType = type;
    }
  }
  return bestType.find("sshfs") != std::string::npos || bestType.find("curlftpfs") != std::string::npos ||
         bestType.find("smbnetfs") != std::string::npos || bestType.find("davfs") != std::string::npos;
}

}  // namespace

bool IsOnNetworkFileSystem(const std::string& folder) {
  struct statfs info {};
  if (statfs(folder.c_str(), &info) != 0) return false;
  const auto magic = static_cast<unsigned long>(info.f_type) & 0xFFFFFFFFUL;
  for (unsigned long network : kNetworkMagics)
    if (magic == network) return true;
  constexpr unsigned long kFuseMagic = 0x65735546UL;
  return magic == kFuseMagic && IsFuseNetworkMount(folder);
}

bool IsFolderWritable(const std::string& folder) { return access(folder.c_str(), W_OK) == 0; }
