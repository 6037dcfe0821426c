// Several transfers at once in one curl multi handle, driven from the UI thread: between short waits on
// the network the window's pending events run, so the window repaints and answers during a run. A server
// that answers 429 or 503 is given the pause it asks for and then one transfer at a time for a while.
#pragma once

#include <curl/curl.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "window/Window.h"
#include "workshop/HttpClient.h"

namespace quorvane::workshop {

struct BackOff {
  // The pause after a 429 or 503: Retry-After when given, else defaultMs; never more than capMs.
  long long defaultMs = 5'000;
  long long capMs = 60'000;
  // After a pause, one transfer at a time until this long after it ended.
  long long slowMs = 60'000;
  // How many times one request is asked again after a 429 or 503 before its answer is given up.
  int retries = 2;
};

struct FetchOptions {
  HttpLimits limits;
  BackOff backOff;
  int parallel = 4;
};

// True for the answers that say "try later": 429 and 503.
bool AsksToBackOff(const HttpResult& result);

class FetchPool {
 public:
  struct Job {
    std::string url;
    // Called once with the answer; never called for a transfer abandoned at a stop request.
    std::function<void(HttpResult&&)> done;
  };
  // Gives the next job, or nothing once there are no more. Called whenever a transfer slot is free.
  using JobSource = std::function<std::optional<Job>()>;

  FetchPool(window::Window& window, FetchOptions options = {});
  ~FetchPool();
  FetchPool(const FetchPool&) = delete;
  FetchPool& operator=(const FetchPool&) = delete;

  // A job to run before the source's next ones (a follow-up request made from a done callback).
  void Submit(Job job);

  // Runs until the source is exhausted and every transfer has finished, or until the user asks to stop:
  // then no transfer is started and those in flight are abandoned.
  void Run(const JobSource& source);

 private:
  struct Active;
  bool StartNext(const JobSource& source);
  void Start(Job job, int attempt);
  void CollectFinished();
  void AbandonAll();
  int SlotLimit(long long now) const;

  window::Window& window_;
  FetchOptions options_;
  CURLM* multi_;
  std::deque<std::pair<Job, int>> queued_;  // job and how many times it was already asked
  std::deque<std::unique_ptr<Active>> active_;
  bool sourceDone_ = false;
  long long pauseUntilMs_ = 0;
  long long slowUntilMs_ = 0;
};

}  // namespace quorvane::workshop
