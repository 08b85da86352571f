// The web access over libcurl. The transfer runs on a multi handle that is
// pumped only while the caller waits for bytes, so the body arrives piece by
// piece as the caller reads it, and a body that outgrows its cut-off is
// stopped in the write callback.
#include <curl/curl.h>
#include <sys/socket.h>
#include <netinet/in.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/http.h"

namespace {

constexpr long kMaxRedirects = 5;
constexpr int kPollMillis = 50;
constexpr const char* kAgent = "Sonic-Loom " SONICLOOM_VERSION;

int64_t RealMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void InitialiseCurl() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Test builds: the certificate authority of the test server, and the guard
// that keeps every test on this machine.
#ifdef SONICLOOM_UPDATE_TEST_HOOKS
std::string TestAuthorityFile() {
  const char* path = std::getenv("SONICLOOM_UPDATE_CA");
  return path ? path : "";
}
#endif

#ifdef SONICLOOM_HTTP_LOOPBACK_ONLY
bool IsLoopbackAddress(const std::string& url) {
  CURLU* parts = curl_url();
  bool loopback = false;
  char* host = nullptr;
  if (curl_url_set(parts, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parts, CURLUPART_HOST, &host, 0) == CURLUE_OK) {
    loopback = std::strcmp(host, "127.0.0.1") == 0 || std::strcmp(host, "localhost") == 0;
  }
  curl_free(host);
  curl_url_cleanup(parts);
  return loopback;
}

// Refuses every socket that would leave the machine, redirects included.
curl_socket_t OpenLoopbackSocket(void*, curlsocktype, curl_sockaddr* address) {
  if (address->family != AF_INET) return CURL_SOCKET_BAD;
  const auto* in = reinterpret_cast<const sockaddr_in*>(&address->addr);
  if ((ntohl(in->sin_addr.s_addr) >> 24) != 127) return CURL_SOCKET_BAD;
  return socket(address->family, address->socktype, address->protocol);
}
#else
bool IsLoopbackAddress(const std::string&) { return true; }
#endif

int RemainingMillis(const HttpLimits& limits) {
  int millis = limits.timeoutMillis;
  if (limits.deadlineMillis > 0) {
    const int64_t left = limits.deadlineMillis - RealMillis();
    millis = static_cast<int>(std::clamp<int64_t>(left, 1, millis));
  }
  return std::max(millis, 1);
}

// What every request shares: HTTPS only, checked certificates, time-outs.
void SetCommonOptions(CURL* easy, const std::string& url, const HttpLimits& limits) {
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https");
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(RemainingMillis(limits)));
  curl_easy_setopt(easy, CURLOPT_USERAGENT, kAgent);
#ifdef SONICLOOM_UPDATE_TEST_HOOKS
  const std::string authority = TestAuthorityFile();
  if (!authority.empty()) curl_easy_setopt(easy, CURLOPT_CAINFO, authority.c_str());
#endif
#ifdef SONICLOOM_HTTP_LOOPBACK_ONLY
  curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, OpenLoopbackSocket);
#endif
}

}  // namespace

struct HttpStream {
  CURL* easy = nullptr;
  CURLM* multi = nullptr;
  curl_slist* headers = nullptr;
  std::vector<uint8_t> pending;
  size_t pendingStart = 0;
  uint64_t received = 0;
  uint64_t maxBytes = 0;
  bool done = false;
  bool failed = false;
  HttpLimits limits;
  int64_t lastProgress = 0;

  size_t Available() const { return pending.size() - pendingStart; }
};

namespace {

size_t TakeBody(char* data, size_t size, size_t count, void* user) {
  auto* stream = static_cast<HttpStream*>(user);
  const size_t bytes = size * count;
  if (stream->received + bytes > stream->maxBytes) return 0;  // cut off: the transfer fails
  if (stream->pendingStart > 0 && stream->pendingStart * 2 >= stream->pending.size()) {
    stream->pending.erase(stream->pending.begin(), stream->pending.begin() + static_cast<ptrdiff_t>(stream->pendingStart));
    stream->pendingStart = 0;
  }
  stream->pending.insert(stream->pending.end(), data, data + bytes);
  stream->received += bytes;
  return bytes;
}

void Finish(HttpStream* stream, bool failed) {
  stream->done = true;
  stream->failed = stream->failed || failed;
}

// Runs the transfer until `need` unread bytes wait, it ends, or a limit
// strikes.
void Pump(HttpStream* stream, size_t need) {
  while (!stream->done && stream->Available() < need) {
    const size_t before = stream->Available();
    int running = 0;
    if (curl_multi_perform(stream->multi, &running) != CURLM_OK) {
      Finish(stream, true);
      break;
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(stream->multi, &left)) {
      if (message->msg != CURLMSG_DONE) continue;
      long status = 0;
      curl_easy_getinfo(stream->easy, CURLINFO_RESPONSE_CODE, &status);
      Finish(stream, message->data.result != CURLE_OK || status != 200);
    }
    if (stream->done) break;
    const int64_t now = RealMillis();
    if (stream->Available() != before) stream->lastProgress = now;
    const bool idle = now - stream->lastProgress > stream->limits.timeoutMillis;
    const bool late = stream->limits.deadlineMillis > 0 && now > stream->limits.deadlineMillis;
    if (idle || late) {
      Finish(stream, true);
      break;
    }
    curl_multi_poll(stream->multi, nullptr, 0, kPollMillis, nullptr);
  }
}

}  // namespace

bool HttpProxyConfigured() {
  for (const char* name : {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

bool HttpServerReachable(const std::string& url, const HttpLimits& limits) {
  if (!IsLoopbackAddress(url)) return false;
  InitialiseCurl();
  CURL* easy = curl_easy_init();
  if (!easy) return false;
  SetCommonOptions(easy, url, limits);
  curl_easy_setopt(easy, CURLOPT_CONNECT_ONLY, 1L);
  const CURLcode result = curl_easy_perform(easy);
  curl_easy_cleanup(easy);
  switch (result) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
      return false;
    default:
      return true;
  }
}

HttpStream* HttpOpenUrl(const std::string& url, HttpAccess access, const HttpLimits& limits, uint64_t maxBytes) {
  if (!IsLoopbackAddress(url)) return nullptr;
  InitialiseCurl();
  auto* stream = new HttpStream;
  stream->limits = limits;
  stream->maxBytes = maxBytes;
  stream->easy = curl_easy_init();
  stream->multi = curl_multi_init();
  if (!stream->easy || !stream->multi) {
    HttpClose(stream);
    return nullptr;
  }
  CURL* easy = stream->easy;
  SetCommonOptions(easy, url, limits);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
  curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
  // An empty proxy name makes libcurl ignore the proxy environment.
  if (access == HttpAccess::kDirect) curl_easy_setopt(easy, CURLOPT_PROXY, "");
  stream->headers = curl_slist_append(stream->headers, "Cache-Control: no-cache");
  stream->headers = curl_slist_append(stream->headers, "Pragma: no-cache");
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, stream->headers);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, TakeBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, stream);
  curl_multi_add_handle(stream->multi, easy);
  stream->lastProgress = RealMillis();
  // Open once the body has begun, even when the link broke right after:
  // the reads then report the loss.
  Pump(stream, 1);
  if (stream->failed && stream->Available() == 0) {
    HttpClose(stream);
    return nullptr;
  }
  return stream;
}

void HttpLimitBody(HttpStream* stream, uint64_t maxBytes) { stream->maxBytes = maxBytes; }

size_t HttpRead(HttpStream* stream, uint8_t* data, size_t size) {
  Pump(stream, size);
  const size_t count = std::min(size, stream->Available());
  if (count == 0) return 0;
  std::memcpy(data, stream->pending.data() + stream->pendingStart, count);
  stream->pendingStart += count;
  return count;
}

bool HttpAtCleanEnd(HttpStream* stream) {
  if (stream->Available() > 0) return false;
  Pump(stream, 1);
  return stream->done && !stream->failed && stream->Available() == 0;
}

std::string HttpFinalUrl(HttpStream* stream) {
  char* url = nullptr;
  curl_easy_getinfo(stream->easy, CURLINFO_EFFECTIVE_URL, &url);
  return url ? url : "";
}

void HttpClose(HttpStream* stream) {
  if (!stream) return;
  if (stream->multi && stream->easy) curl_multi_remove_handle(stream->multi, stream->easy);
  if (stream->easy) curl_easy_cleanup(stream->easy);
  if (stream->multi) curl_multi_cleanup(stream->multi);
  curl_slist_free_all(stream->headers);
  delete stream;
}
