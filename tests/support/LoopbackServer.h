// A real HTTP server on 127.0.0.1 (a free port), run on a background thread, for tests of the network code.
// Each request is recorded with its method, HTTP version and headers; each path (with its query) can be told
// how to answer. It stops by itself after a while, so a test that goes wrong cannot hang.
#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class Server;
}

namespace quorvane::testing {

struct LoopbackAnswer {
  int status = 200;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  // Milliseconds before the answer starts.
  int delayMs = 0;
  // Announces the whole body but sends only this many bytes, then closes the connection.
  long long cutAfterBytes = -1;
  // No Content-Length: the body ends when the connection closes.
  bool unannouncedLength = false;
  // Sends the body in pieces of this many bytes with this many milliseconds between them (unannounced).
  int trickleBytes = 0;
  int trickleEveryMs = 0;

  static LoopbackAnswer Ok(std::string body);
  static LoopbackAnswer Status(int status, std::string body = {});
  static LoopbackAnswer Redirect(const std::string& location);
  static LoopbackAnswer TooManyRequests(int retryAfterSeconds);
};

struct RecordedRequest {
  std::string method;
  std::string target;  // path and query
  std::string version;
  std::multimap<std::string, std::string> headers;
  // The first value of a header (names compared without regard to case), "" when absent.
  std::string Header(const std::string& name) const;
  // How many times the header was sent.
  int HeaderCount(const std::string& name) const;
};

class LoopbackServer {
 public:
  explicit LoopbackServer(int lifetimeSeconds = 120);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by target.
  std::string Url(const std::string& target) const;

  // How target (path and query, e.g. "/page?id=1") is answered, every time.
  void Answer(const std::string& target, LoopbackAnswer answer);
  // Answers one after another; the last one repeats.
  void AnswerInTurn(const std::string& target, std::vector<LoopbackAnswer> answers);
  // For every target not told otherwise (at first: 404 with an empty body).
  void AnswerOthers(LoopbackAnswer answer);

  std::vector<RecordedRequest> Requests() const;
  std::vector<RecordedRequest> RequestsFor(const std::string& target) const;
  int RequestCount(const std::string& target) const { return static_cast<int>(RequestsFor(target).size()); }
  // The most requests that were being answered at the same moment.
  int MostAtOnce() const;

  // An address on 127.0.0.1 where nothing listens (a port taken from the system and given back).
  static std::string ClosedPortUrl(const std::string& target);

 private:
  LoopbackAnswer Next(const std::string& target);
  // Waits up to ms, less when the server is stopping.
  void Wait(int ms);

  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
  std::thread listener_;
  std::thread watchdog_;

  mutable std::mutex mutex_;
  std::condition_variable stopping_;
  bool stopped_ = false;
  std::map<std::string, std::vector<LoopbackAnswer>> answers_;
  std::map<std::string, size_t> turns_;
  LoopbackAnswer others_ = LoopbackAnswer::Status(404);
  std::vector<RecordedRequest> requests_;
  int inFlight_ = 0;
  int mostAtOnce_ = 0;
};

}  // namespace quorvane::testing
