#pragma once
#include <string>

// True when the folder lies on a network file system (NFS, SMB/CIFS, a
// FUSE network mount such as sshfs).
bool IsOnNetworkFileSystem(const std::string& folder);

// True when the folder can be written (files created in it).
bool IsFolderWritable(const std::string& folder);
