#include "workshop/FetchPool.h"

#include <algorithm>

#include "workshop/Transfer.h"

namespace quorvane::workshop {

// Longest wait on the network before the window's events run again.
constexpr int kPollWaitMs = 10;
// Longest single pause while waiting out a back-off with nothing in flight.
constexpr int kPauseSliceMs = 100;

bool AsksToBackOff(const HttpResult& result) {
  return result.Complete() && (result.status == 429 || result.status == 503);
}

struct FetchPool::Active {
  Active(Job j, int a, const HttpLimits& limits) : job(std::move(j)), attempt(a), transfer(job.url, limits) {}
  Job job;
  int attempt;
  detail::Transfer transfer;
};

FetchPool::FetchPool(window::Window& window, FetchOptions options)
    : window_(window), options_(std::move(options)) {
  detail::EnsureCurlReady();
  multi_ = curl_multi_init();
  options_.parallel = std::max(1, options_.parallel);
}

FetchPool::~FetchPool() {
  AbandonAll();
  curl_multi_cleanup(multi_);
}

void FetchPool::Submit(Job job) {
  queued_.emplace_back(std::move(job), 0);
}

int FetchPool::SlotLimit(long long now) const {
  return now < slowUntilMs_ ? 1 : options_.parallel;
}

void FetchPool::Start(Job job, int attempt) {
  if (!IsWebAddress(job.url)) {
    HttpResult refused;
    refused.error = FetchError::kUnsupportedAddress;
    refused.errorText = "not an http or https address";
    if (job.done) job.done(std::move(refused));
    return;
  }
  auto active = std::make_unique<Active>(std::move(job), attempt, options_.limits);
  curl_multi_add_handle(multi_, active->transfer.handle());
  active_.push_back(std::move(active));
}

bool FetchPool::StartNext(const JobSource& source) {
  if (!queued_.empty()) {
    auto [job, attempt] = std::move(queued_.front());
    queued_.pop_front();
    Start(std::move(job), attempt);
    return true;
  }
  if (sourceDone_) return false;
  std::optional<Job> job = source();
  if (!job) {
    sourceDone_ = true;
    return false;
  }
  Start(std::move(*job), 0);
  return true;
}

void FetchPool::CollectFinished() {
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
    if (message->msg != CURLMSG_DONE) continue;
    auto it = std::find_if(active_.begin(), active_.end(),
                           [&](const auto& a) { return a->transfer.handle() == message->easy_handle; });
    if (it == active_.end()) continue;
    const CURLcode code = message->data.result;
    std::unique_ptr<Active> finished = std::move(*it);
    active_.erase(it);
    curl_multi_remove_handle(multi_, finished->transfer.handle());
    HttpResult result = finished->transfer.Finish(code);
    if (AsksToBackOff(result)) {
      const long long asked =
          result.retryAfterSeconds >= 0 ? result.retryAfterSeconds * 1000LL : options_.backOff.defaultMs;
      const long long now = window_.TickMs();
      pauseUntilMs_ = std::max(pauseUntilMs_, now + std::min(asked, options_.backOff.capMs));
      slowUntilMs_ = pauseUntilMs_ + options_.backOff.slowMs;
      if (finished->attempt < options_.backOff.retries) {
        // Asked again first, once the pause is over.
        queued_.emplace_front(std::move(finished->job), finished->attempt + 1);
        continue;
      }
    }
    if (finished->job.done) finished->job.done(std::move(result));
  }
}

void FetchPool::AbandonAll() {
  for (auto& active : active_) curl_multi_remove_handle(multi_, active->transfer.handle());
  active_.clear();
  queued_.clear();
}

void FetchPool::Run(const JobSource& source) {
  for (;;) {
    if (window_.StopRequested()) {
      AbandonAll();
      return;
    }
    long long now = window_.TickMs();
    while (now >= pauseUntilMs_ && static_cast<int>(active_.size()) < SlotLimit(now) &&
           !window_.StopRequested()) {
      if (!StartNext(source)) break;
      now = window_.TickMs();
    }
    if (window_.StopRequested()) continue;
    if (active_.empty()) {
      if (queued_.empty() && sourceDone_) return;
      if (now < pauseUntilMs_) {
        // Nothing in flight: wait out the pause with the window answering.
        window_.PumpEvents(static_cast<int>(std::min<long long>(pauseUntilMs_ - now, kPauseSliceMs)));
      }
      continue;
    }
    int running = 0;
    curl_multi_perform(multi_, &running);
    CollectFinished();
    if (!active_.empty()) curl_multi_poll(multi_, nullptr, 0, kPollWaitMs, nullptr);
    window_.ProcessPendingEvents();
  }
}

}  // namespace quorvane::workshop
