// Page download at scale: DownloadPages of 1,000 pages of 100 KB from a loopback server that answers every
// request after 50 ms, beside fetching the same pages one at a time, measured in the same run. Also the
// longest stretch the window went without its pending events running. The server is a small one of its
// own: one thread per connection, HTTP/1.0, close after the answer.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "BenchClock.h"
#include "FakeModList.h"
#include "FakeWindow.h"
#include "TempDir.h"
#include "workshop/HttpClient.h"
#include "workshop/PageDownload.h"
#include "workshop/WholeFile.h"

namespace {

namespace fs = std::filesystem;
using quorvane::bench::Clock;
using quorvane::index::ModIndex;
using quorvane::index::Workspace;
using quorvane::testing::FakeModList;
using quorvane::testing::FakeWindow;
using quorvane::testing::TempDir;
using quorvane::window::Control;

using quorvane::bench::MsSince;
using quorvane::bench::PeakRssMb;

class SlowServer {
 public:
  SlowServer(int delayMs, size_t bodyBytes) : delayMs_(delayMs) {
    std::string body(bodyBytes, 'p');
    answer_ = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
              "\r\n\r\n" + body;
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(socket_, 64);
    ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { Accept(); });
  }
  ~SlowServer() {
    stopping_ = true;
    ::shutdown(socket_, SHUT_RDWR);
    ::close(socket_);
    acceptor_.join();
  }
  std::string Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
  }

 private:
  void Accept() {
    for (;;) {
      const int connection = ::accept(socket_, nullptr, nullptr);
      if (connection < 0) return;
      std::thread([this, connection] { Answer(connection); }).detach();
    }
  }
  void Answer(int connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, static_cast<size_t>(got));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_));
    size_t sent = 0;
    while (!stopping_ && sent < answer_.size()) {
      const ssize_t put = ::send(connection, answer_.data() + sent, answer_.size() - sent, MSG_NOSIGNAL);
      if (put <= 0) break;
      sent += static_cast<size_t>(put);
    }
    ::close(connection);
  }

  int delayMs_;
  std::string answer_;
  int socket_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
};

}  // namespace

int main() {
  constexpr int kPages = 1'000;
  constexpr int kDelayMs = 50;
  constexpr size_t kPageBytes = 100 * 1024;
  constexpr int kParallel = 4;

  SlowServer server(kDelayMs, kPageBytes);
  TempDir program;
  TempDir workshop;
  quorvane::index::CreateEmptyIndexFile((program.path() / "CSLmod.edb").string());
  ModIndex table;
  FakeModList list;
  FakeWindow window;
  Workspace workspace{table, list, window, program.text()};
  window.SetText(Control::WorkshopFolderBox, workshop.text());
  window.SetText(Control::PagePrefixBox, server.Url("/page?id="));
  table.Open(workspace.TablePath());
  for (int r = 1; r <= kPages; ++r) {
    const std::string id = std::to_string(100000 + r);
    table.AddRecord(r, id);
    list.AddRow({std::to_string(r), id});
    fs::create_directory(workshop.path() / id);
  }
  table.CloseAll();

  // The window's events: the longest stretch between two runs, from the first to the last.
  Clock::time_point lastEvents{};
  double longestGapMs = 0;
  window.onPendingEvents = [&] {
    const auto now = Clock::now();
    if (lastEvents != Clock::time_point{}) {
      longestGapMs =
          std::max(longestGapMs, std::chrono::duration<double, std::milli>(now - lastEvents).count());
    }
    lastEvents = now;
  };
  quorvane::workshop::FetchOptions options;
  options.parallel = kParallel;
  auto start = Clock::now();
  quorvane::workshop::DownloadPages(workspace, options);
  const double poolMs = MsSince(start);
  int stored = 0;
  for (int r = 1; r <= kPages; ++r) {
    const std::string id = std::to_string(100000 + r);
    if (quorvane::workshop::FileSize(quorvane::text::FromNativePath(
            workshop.path() / id / (id + ".info.txt"))) == static_cast<long long>(kPageBytes))
      ++stored;
  }

  // One at a time: the same pages, fetched and written in turn.
  TempDir serialFolder;
  start = Clock::now();
  int serialStored = 0;
  for (int r = 1; r <= kPages; ++r) {
    const std::string id = std::to_string(100000 + r);
    const auto result = quorvane::workshop::HttpGet(server.Url("/page?id=" + id));
    if (result.Succeeded() && quorvane::workshop::WriteWholeFile(
                                  quorvane::text::FromNativePath(serialFolder.path() / id), result.body))
      ++serialStored;
  }
  const double serialMs = MsSince(start);

  const double idealMs = static_cast<double>(kPages) * kDelayMs / kParallel;
  std::printf("%-44s %9.1f ms  %5d pages stored\n", "DownloadPages, 4 at once", poolMs, stored);
  std::printf("%-44s %9.1f ms  %5d pages stored\n", "one at a time (reference)", serialMs, serialStored);
  std::printf("%-44s %9.2fx  (target >= 3.5)\n", "speed-up over one at a time", serialMs / poolMs);
  std::printf("%-44s %9.2fx  (target <= 1.3; ideal %.0f ms)\n", "time / (1000 x 50 ms / 4)", poolMs / idealMs,
              idealMs);
  std::printf("%-44s %9.1f ms  (target <= 50)\n", "longest gap between window event runs", longestGapMs);
  std::printf("%-44s %9ld MB\n", "peak RSS", PeakRssMb());
  return 0;
}
