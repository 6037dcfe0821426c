#include "workshop/HttpClient.h"

#include <algorithm>
#include <cctype>
#include <mutex>

#include "workshop/Transfer.h"

namespace quorvane::workshop {
namespace detail {

void EnsureCurlReady() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

Transfer::Transfer(const std::string& url, const HttpLimits& limits) : maxBody_(limits.maxBodyBytes) {
  EnsureCurlReady();
  easy_ = curl_easy_init();
  headers_ = curl_slist_append(headers_, "Accept: */*");
  headers_ = curl_slist_append(headers_, "Cache-Control: no-cache");
  headers_ = curl_slist_append(headers_, "Pragma: no-cache");
  curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy_, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_);
  curl_easy_setopt(easy_, CURLOPT_USERAGENT, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
  curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
  // curl follows without limit unless told.
  curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, limits.maxRedirects);
  curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
  curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, std::max(1L, limits.minBytesPerSecond));
  curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
  // Stops an announced oversized body before it starts; the write callback stops the unannounced ones.
  curl_easy_setopt(easy_, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBodyBytes));
  curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
  // A proxy from the environment must never see requests meant for this machine.
  curl_easy_setopt(easy_, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &Transfer::Write);
  curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorBuffer_);
  curl_easy_setopt(easy_, CURLOPT_PRIVATE, this);
}

Transfer::~Transfer() {
  curl_easy_cleanup(easy_);
  curl_slist_free_all(headers_);
}

size_t Transfer::Write(char* data, size_t size, size_t count, void* self) {
  auto& transfer = *static_cast<Transfer*>(self);
  const size_t bytes = size * count;
  if (bytes > transfer.maxBody_ - std::min(transfer.maxBody_, transfer.body_.size())) {
    transfer.overCap_ = true;
    return 0;  // curl ends the transfer with a write error
  }
  transfer.body_.append(data, bytes);
  return bytes;
}

namespace {

FetchError ErrorOf(CURLcode code) {
  switch (code) {
    case CURLE_OK:
      return FetchError::kNone;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
      return FetchError::kCannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
      return FetchError::kTimedOut;
    case CURLE_FILESIZE_EXCEEDED:
      return FetchError::kTooLarge;
    case CURLE_UNSUPPORTED_PROTOCOL:
      return FetchError::kRefusedRedirect;
    case CURLE_TOO_MANY_REDIRECTS:
      return FetchError::kTooManyRedirects;
    case CURLE_URL_MALFORMAT:
      return FetchError::kUnsupportedAddress;
    default:
      return FetchError::kBrokenTransfer;
  }
}

}  // namespace

HttpResult Transfer::Finish(CURLcode code) {
  HttpResult result;
  curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &result.status);
  curl_off_t retryAfter = -1;
  if (curl_easy_getinfo(easy_, CURLINFO_RETRY_AFTER, &retryAfter) == CURLE_OK && retryAfter > 0) {
    result.retryAfterSeconds = static_cast<long>(retryAfter);
  }
  result.error = overCap_ ? FetchError::kTooLarge : ErrorOf(code);
  if (!result.Complete()) {
    result.errorText = errorBuffer_[0] != '\0' ? errorBuffer_ : curl_easy_strerror(code);
    // A broken transfer's bytes are not an answer anyone may store.
    result.body.clear();
  } else {
    result.body = std::move(body_);
  }
  body_.clear();
  return result;
}

}  // namespace detail

bool IsWebAddress(const std::string& url) {
  auto startsWith = [&](std::string_view scheme) {
    return url.size() > scheme.size() &&
           std::equal(scheme.begin(), scheme.end(), url.begin(),
                      [](char s, char u) { return s == std::tolower(static_cast<unsigned char>(u)); });
  };
  return startsWith("http://") || startsWith("https://");
}

HttpResult HttpGet(const std::string& url, const HttpLimits& limits) {
  if (!IsWebAddress(url)) {
    HttpResult refused;
    refused.error = FetchError::kUnsupportedAddress;
    refused.errorText = "not an http or https address";
    return refused;
  }
  detail::Transfer transfer(url, limits);
  return transfer.Finish(curl_easy_perform(transfer.handle()));
}

}  // namespace quorvane::workshop
