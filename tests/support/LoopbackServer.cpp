#include "LoopbackServer.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <chrono>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvane::testing {
namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// No single answer may hold the server longer than this, whatever a test asks.
constexpr int kLongestDelayMs = 30'000;

}  // namespace

LoopbackAnswer LoopbackAnswer::Ok(std::string body) {
  LoopbackAnswer answer;
  answer.body = std::move(body);
  return answer;
}

LoopbackAnswer LoopbackAnswer::Status(int status, std::string body) {
  LoopbackAnswer answer;
  answer.status = status;
  answer.body = std::move(body);
  return answer;
}

LoopbackAnswer LoopbackAnswer::Redirect(const std::string& location) {
  LoopbackAnswer answer;
  answer.status = 302;
  answer.headers.emplace_back("Location", location);
  return answer;
}

LoopbackAnswer LoopbackAnswer::TooManyRequests(int retryAfterSeconds) {
  LoopbackAnswer answer;
  answer.status = 429;
  answer.body = "slow down";
  answer.headers.emplace_back("Retry-After", std::to_string(retryAfterSeconds));
  return answer;
}

std::string RecordedRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (SameName(key, name)) return value;
  }
  return {};
}

int RecordedRequest::HeaderCount(const std::string& name) const {
  return static_cast<int>(
      std::count_if(headers.begin(), headers.end(), [&](const auto& h) { return SameName(h.first, name); }));
}

LoopbackServer::LoopbackServer(int lifetimeSeconds) : server_(std::make_unique<httplib::Server>()) {
  // Enough workers that a test of parallel transfers is never limited by the server.
  server_->new_task_queue = [] { return new httplib::ThreadPool(16); };
  server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    {
      std::lock_guard lock(mutex_);
      RecordedRequest recorded;
      recorded.method = request.method;
      recorded.target = request.target;
      recorded.version = request.version;
      recorded.headers.insert(request.headers.begin(), request.headers.end());
      requests_.push_back(std::move(recorded));
      mostAtOnce_ = std::max(mostAtOnce_, ++inFlight_);
    }
    const LoopbackAnswer answer = Next(request.target);
    Wait(std::min(answer.delayMs, kLongestDelayMs));
    response.status = answer.status;
    for (const auto& [name, value] : answer.headers) response.set_header(name, value);
    auto body = std::make_shared<std::string>(answer.body);
    auto finished = [this](bool) {
      std::lock_guard lock(mutex_);
      --inFlight_;
    };
    if (answer.cutAfterBytes >= 0) {
      const size_t sent = std::min(body->size(), static_cast<size_t>(answer.cutAfterBytes));
      response.set_content_provider(
          body->size(), "text/html",
          [body, sent](size_t offset, size_t, httplib::DataSink& sink) {
            if (offset < sent) sink.write(body->data() + offset, sent - offset);
            return false;  // the connection closes short of the announced length
          },
          finished);
    } else if (answer.trickleBytes > 0 || answer.unannouncedLength) {
      const size_t piece = answer.trickleBytes > 0 ? static_cast<size_t>(answer.trickleBytes) : body->size();
      const int everyMs = std::min(answer.trickleEveryMs, kLongestDelayMs);
      response.set_content_provider(
          "text/html",
          [this, body, piece, everyMs](size_t offset, httplib::DataSink& sink) {
            if (offset >= body->size()) {
              sink.done();
              return true;
            }
            if (offset > 0) Wait(everyMs);
            const size_t count = std::min(piece, body->size() - offset);
            return sink.write(body->data() + offset, count);
          },
          finished);
    } else {
      response.set_content(*body, "text/html");
      finished(true);
    }
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  listener_ = std::thread([this] { server_->listen_after_bind(); });
  // Until the accept loop runs, stop() would not reach it; connections wait in the backlog meanwhile.
  while (!server_->is_running()) std::this_thread::yield();
  watchdog_ = std::thread([this, lifetimeSeconds] {
    Wait(lifetimeSeconds * 1000);
    server_->stop();
  });
}

LoopbackServer::~LoopbackServer() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  stopping_.notify_all();
  server_->stop();
  watchdog_.join();
  listener_.join();
}

void LoopbackServer::Wait(int ms) {
  if (ms <= 0) return;
  std::unique_lock lock(mutex_);
  stopping_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopped_; });
}

std::string LoopbackServer::Url(const std::string& target) const {
  return "http://127.0.0.1:" + std::to_string(port_) + target;
}

void LoopbackServer::Answer(const std::string& target, LoopbackAnswer answer) {
  AnswerInTurn(target, {std::move(answer)});
}

void LoopbackServer::AnswerInTurn(const std::string& target, std::vector<LoopbackAnswer> answers) {
  std::lock_guard lock(mutex_);
  answers_[target] = std::move(answers);
  turns_[target] = 0;
}

void LoopbackServer::AnswerOthers(LoopbackAnswer answer) {
  std::lock_guard lock(mutex_);
  others_ = std::move(answer);
}

LoopbackAnswer LoopbackServer::Next(const std::string& target) {
  std::lock_guard lock(mutex_);
  auto it = answers_.find(target);
  if (it == answers_.end() || it->second.empty()) return others_;
  size_t& turn = turns_[target];
  const LoopbackAnswer& answer = it->second[std::min(turn, it->second.size() - 1)];
  ++turn;
  return answer;
}

std::vector<RecordedRequest> LoopbackServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<RecordedRequest> LoopbackServer::RequestsFor(const std::string& target) const {
  std::lock_guard lock(mutex_);
  std::vector<RecordedRequest> found;
  for (const auto& request : requests_) {
    if (request.target == target) found.push_back(request);
  }
  return found;
}

int LoopbackServer::MostAtOnce() const {
  std::lock_guard lock(mutex_);
  return mostAtOnce_;
}

std::string LoopbackServer::ClosedPortUrl(const std::string& target) {
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  const int port = ntohs(address.sin_port);
  ::close(probe);
  return "http://127.0.0.1:" + std::to_string(port) + target;
}

}  // namespace quorvane::testing
