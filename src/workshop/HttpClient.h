// The HTTP client: one GET in, a plain result out. No GUI dependency; the fetch pool drives several of these
// transfers at once. Only http and https are ever spoken, redirects included, and every transfer is bounded
// in time and size so that a hostile or stalled server cannot hang the program or fill the disk.
#pragma once

#include <cstddef>
#include <string>

namespace quorvane::workshop {

struct HttpLimits {
  long connectTimeoutMs = 15'000;
  // A transfer that moves fewer than minBytesPerSecond for stallSeconds is abandoned: a server that
  // trickles a byte now and then is as stalled as one that sends nothing.
  long stallSeconds = 30;
  long minBytesPerSecond = 100;
  std::size_t maxBodyBytes = 64u << 20;
  long maxRedirects = 5;
};

enum class FetchError {
  kNone,                // a whole answer arrived; see status
  kUnsupportedAddress,  // not an http or https address: nothing was sent
  kCannotConnect,       // host not found, connection refused
  kTimedOut,            // no connection in time, or the transfer stalled
  kBrokenTransfer,      // the answer broke off or was malformed
  kTooLarge,            // the body passed the cap
  kRefusedRedirect,     // a redirect to a scheme other than http or https
  kTooManyRedirects,
  kAbandoned,  // stopped by the user
};

struct HttpResult {
  long status = 0;  // the final answer's status, 0 when none arrived
  std::string body;
  FetchError error = FetchError::kNone;
  std::string errorText;
  // Seconds asked for by a Retry-After header, -1 when there was none.
  long retryAfterSeconds = -1;

  bool Complete() const { return error == FetchError::kNone; }
  bool Succeeded() const { return Complete() && status >= 200 && status < 300; }
};

// True for an address whose scheme is http or https (letter case ignored).
bool IsWebAddress(const std::string& url);

// One blocking GET, for callers that need a single answer.
HttpResult HttpGet(const std::string& url, const HttpLimits& limits = {});

}  // namespace quorvane::workshop
