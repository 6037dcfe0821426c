// One configured curl easy handle and what it collects. Shared by the blocking GET and the fetch pool so
// that both send the same request and enforce the same limits.
#pragma once

#include <curl/curl.h>

#include <string>

#include "workshop/HttpClient.h"

namespace quorvane::workshop::detail {

class Transfer {
 public:
  Transfer(const std::string& url, const HttpLimits& limits);
  ~Transfer();
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  CURL* handle() const { return easy_; }
  // The result once curl has finished with code; takes the body.
  HttpResult Finish(CURLcode code);

 private:
  static size_t Write(char* data, size_t size, size_t count, void* self);

  CURL* easy_ = nullptr;
  curl_slist* headers_ = nullptr;
  std::string body_;
  std::size_t maxBody_;
  bool overCap_ = false;
  char errorBuffer_[CURL_ERROR_SIZE] = {};
};

// curl's global set-up, done once before the first handle.
void EnsureCurlReady();

}  // namespace quorvane::workshop::detail
