#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Web access for the update: HTTPS only, certificates and host names always
// checked, redirects followed only to HTTPS and at most five times, nothing
// taken from or written to a cache. Plain functions over an opaque handle,
// like the system's own Internet library.

// Time limits of one request. timeoutMillis bounds connecting and every
// wait for data; deadlineMillis (steady milliseconds as NowMillis counts
// them on the real clock, 0 = none) bounds the whole request.
struct HttpLimits {
  int timeoutMillis = 8000;
  int64_t deadlineMillis = 0;
};

// How a request reaches the server: straight, or through the proxy that
// the system's settings (the proxy environment variables) name.
enum class HttpAccess { kDirect, kSystemSettings };

// Whether the system's settings name a proxy for HTTPS at all.
bool HttpProxyConfigured();

// The connectivity test: false only when the machine cannot reach the
// address's server at all (no route, no name, no answer); other faults,
// such as a refused certificate, are left for the request to report.
bool HttpServerReachable(const std::string& url, const HttpLimits& limits);

struct HttpStream;

// Starts a GET of the address and waits for the answer: the stream once a
// successful answer has begun, nullptr on any failure. maxBytes cuts off a
// body that grows beyond it (a read then fails).
HttpStream* HttpOpenUrl(const std::string& url, HttpAccess access, const HttpLimits& limits, uint64_t maxBytes);

// Lowers or raises the cut-off of the body, counted from its first byte.
void HttpLimitBody(HttpStream* stream, uint64_t maxBytes);

// Reads up to size bytes, waiting for them; fewer only at the end of the
// body, 0 at its end or on any failure (time-out, cut-off, broken link).
size_t HttpRead(HttpStream* stream, uint8_t* data, size_t size);

// Reads what is left of the body: true when the transfer ended cleanly and
// not one byte was left over.
bool HttpAtCleanEnd(HttpStream* stream);

// The address the body came from, after redirects.
std::string HttpFinalUrl(HttpStream* stream);

void HttpClose(HttpStream* stream);
