#include "cli/cli_jobs.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include <algorithm>

#include "cli/cli_tables.h"
#include "core/byte_order.h"
#include "core/message_codes.h"
#include "core/message_texts.h"

namespace {

constexpr long kMaxJobs = 256;
constexpr size_t kReadChunk = 1 << 16;

struct Child {
  pid_t pid = -1;
  size_t index = 0;
  std::vector<uint8_t> bytes;
};

bool WriteFully(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

// Starts the child for one input; its read end goes into children.
bool Launch(size_t index, const std::function<std::vector<uint8_t>(size_t)>& work, std::map<int, Child>& children) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  // Buffered output would otherwise be written twice.
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) {
    close(ends[0]);
    close(ends[1]);
    return false;
  }
  if (pid == 0) {
    close(ends[0]);
    const bool ok = WriteFully(ends[1], work(index));
    _exit(ok ? 0 : 1);
  }
  close(ends[1]);
  children[ends[0]] = Child{pid, index, {}};
  return true;
}

// Waits for output of any child; a closed pipe ends that child.
void Collect(std::map<int, Child>& children, std::map<size_t, std::vector<uint8_t>>& done) {
  std::vector<pollfd> fds;
  for (const auto& [fd, child] : children) fds.push_back({fd, POLLIN, 0});
  if (poll(fds.data(), fds.size(), -1) < 0) return;
  std::vector<uint8_t> chunk(kReadChunk);
  for (const pollfd& entry : fds) {
    if (entry.revents == 0) continue;
    Child& child = children[entry.fd];
    const ssize_t got = read(entry.fd, chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) continue;
    if (got > 0) {
      child.bytes.insert(child.bytes.end(), chunk.begin(), chunk.begin() + got);
      continue;
    }
    close(entry.fd);
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    done[child.index] = ok ? std::move(child.bytes) : std::vector<uint8_t>();
    children.erase(entry.fd);
  }
}

}  // namespace

int DefaultJobCount() {
  const long count = sysconf(_SC_NPROCESSORS_ONLN);
  return count < 1 ? 1 : static_cast<int>(std::min(count, kMaxJobs));
}

std::string ParseJobs(const ParsedArgs& parsed, int& jobs) {
  jobs = DefaultJobCount();
  const std::string* text = parsed.Value(kJobsOption.name);
  if (!text) return {};
  long value = 0;
  if (!ParseInteger(*text, 1, kMaxJobs, value)) return "--jobs must be 1 to 256";
  jobs = static_cast<int>(value);
  return {};
}

void RunOrderedJobs(size_t count, int jobs, const std::function<std::vector<uint8_t>(size_t)>& work,
                    const std::function<void(size_t, const std::vector<uint8_t>&)>& emit) {
  if (jobs <= 1 || count <= 1) {
    for (size_t i = 0; i < count; ++i) emit(i, work(i));
    return;
  }
  // Results wait here until those before them are emitted; the window keeps
  // that backlog small.
  const size_t window = static_cast<size_t>(jobs) * 2;
  std::map<int, Child> children;
  std::map<size_t, std::vector<uint8_t>> done;
  size_t launched = 0;
  size_t emitted = 0;
  while (emitted < count) {
    while (children.size() < static_cast<size_t>(jobs) && launched < count && launched < emitted + window) {
      if (!Launch(launched, work, children)) {
        // No process to spare: this input runs here.
        done[launched] = work(launched);
      }
      ++launched;
    }
    if (!done.count(emitted) && !children.empty()) Collect(children, done);
    while (done.count(emitted)) {
      emit(emitted, done[emitted]);
      done.erase(emitted);
      ++emitted;
    }
  }
}

void JobBytes::PutNumber(int64_t value) {
  uint8_t field[8];
  for (int i = 0; i < 8; ++i) field[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
  bytes.insert(bytes.end(), field, field + 8);
}

void JobBytes::PutText(std::string_view text) {
  PutNumber(static_cast<int64_t>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
}

void JobBytes::PutRaw(std::span<const uint8_t> raw) {
  PutNumber(static_cast<int64_t>(raw.size()));
  bytes.insert(bytes.end(), raw.begin(), raw.end());
}

int64_t JobReader::Number() {
  if (failed || bytes.size() - at < 8) {
    failed = true;
    return 0;
  }
  uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value |= static_cast<uint64_t>(bytes[at + static_cast<size_t>(i)]) << (8 * i);
  at += 8;
  return static_cast<int64_t>(value);
}

std::string JobReader::Text() {
  const auto size = static_cast<size_t>(Number());
  if (failed || bytes.size() - at < size) {
    failed = true;
    return {};
  }
  std::string text(reinterpret_cast<const char*>(bytes.data() + at), size);
  at += size;
  return text;
}

bool JobReader::Raw(std::span<uint8_t> out) {
  const auto size = static_cast<size_t>(Number());
  if (failed || size != out.size() || bytes.size() - at < size) {
    failed = true;
    return false;
  }
  std::memcpy(out.data(), bytes.data() + at, size);
  at += size;
  return true;
}

std::vector<uint8_t> EncodeTableResult(const std::string& refusal, const LoadedTable& table) {
  JobBytes out;
  out.PutText(refusal);
  if (!refusal.empty()) return out.bytes;
  std::vector<uint8_t> codes(table.table.codes.size() * 2);
  for (size_t i = 0; i < table.table.codes.size(); ++i) WriteI16LE(codes.data() + 2 * i, table.table.codes[i]);
  out.PutRaw(codes);
  out.PutNumber(table.stretch);
  return out.bytes;
}

std::string DecodeTableResult(const std::vector<uint8_t>& bytes, LoadedTable& table) {
  JobReader in{bytes};
  std::string refusal = in.Text();
  if (!in.failed && refusal.empty()) {
    std::vector<uint8_t> codes(table.table.codes.size() * 2);
    in.Raw(codes);
    for (size_t i = 0; i < table.table.codes.size(); ++i) table.table.codes[i] = ReadI16LE(codes.data() + 2 * i);
    table.stretch = static_cast<int32_t>(in.Number());
  }
  if (in.failed) refusal = MessageText(kMsgAborted);
  return refusal;
}
