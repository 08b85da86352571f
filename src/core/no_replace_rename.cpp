#include "core/no_replace_rename.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace {

RenameOutcome OutcomeOfErrno(int error) {
  switch (error) {
    case EEXIST:
    case ENOTEMPTY:
      return RenameOutcome::kTargetExists;
    case EXDEV:
      return RenameOutcome::kCrossDevice;
    default:
      return RenameOutcome::kFailed;
  }
}

RenameOutcome RenameByLink(const std::string& from, const std::string& to) {
  if (link(from.c_str(), to.c_str()) != 0) {
    const int error = errno;
    if (error == EPERM || error == EOPNOTSUPP || error == EMLINK) return RenameOutcome::kNoHardLinks;
    return OutcomeOfErrno(error);
  }
  if (unlink(from.c_str()) != 0) {
    // Undo the second name so the caller sees a clean failure.
    unlink(to.c_str());
    return RenameOutcome::kFailed;
  }
  return RenameOutcome::kRenamed;
}

}  // namespace

RenameOutcome RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef SYS_renameat2
  if (syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return RenameOutcome::kRenamed;
  }
  if (errno != EINVAL && errno != ENOSYS) return OutcomeOfErrno(errno);
#endif
  return RenameByLink(from, to);
}
