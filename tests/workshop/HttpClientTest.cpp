#include "workshop/HttpClient.h"

#include <gtest/gtest.h>

#include "LoopbackServer.h"

namespace quorvane::workshop {
namespace {

using testing::LoopbackAnswer;
using testing::LoopbackServer;

TEST(HttpClient, SendsAnHttp10GetWithTheAgentAndNoCache) {
  LoopbackServer server;
  server.Answer("/page?id=1", LoopbackAnswer::Ok("hello"));

  const HttpResult result = HttpGet(server.Url("/page?id=1"));

  EXPECT_TRUE(result.Succeeded());
  EXPECT_EQ(result.body, "hello");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const auto& request = requests[0];
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.version, "HTTP/1.0");
  EXPECT_EQ(request.target, "/page?id=1");
  EXPECT_EQ(request.Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
  EXPECT_EQ(request.Header("Accept"), "*/*");
  EXPECT_EQ(request.HeaderCount("Accept"), 1);
  EXPECT_EQ(request.Header("Cache-Control"), "no-cache");
  EXPECT_EQ(request.Header("Pragma"), "no-cache");
}

TEST(HttpClient, GivesTheBodyOfAnyCompleteAnswerWithItsStatus) {
  LoopbackServer server;
  server.Answer("/gone", LoopbackAnswer::Status(404, "<html>no such item</html>"));
  server.Answer("/moved", LoopbackAnswer::Redirect("/target"));
  server.Answer("/target", LoopbackAnswer::Ok("arrived"));
  LoopbackAnswer unannounced = LoopbackAnswer::Ok("until the connection closes");
  unannounced.unannouncedLength = true;
  server.Answer("/unannounced", unannounced);

  const HttpResult gone = HttpGet(server.Url("/gone"));
  EXPECT_TRUE(gone.Complete());
  EXPECT_FALSE(gone.Succeeded());
  EXPECT_EQ(gone.status, 404);
  EXPECT_EQ(gone.body, "<html>no such item</html>");

  const HttpResult moved = HttpGet(server.Url("/moved"));
  EXPECT_TRUE(moved.Succeeded());
  EXPECT_EQ(moved.body, "arrived");

  const HttpResult whole = HttpGet(server.Url("/unannounced"));
  EXPECT_TRUE(whole.Succeeded());
  EXPECT_EQ(whole.body, "until the connection closes");
}

TEST(HttpClient, ReportsEachFailureWithoutABody) {
  LoopbackServer server;
  LoopbackAnswer cut = LoopbackAnswer::Ok(std::string(1000, 'x'));
  cut.cutAfterBytes = 300;
  server.Answer("/cut", cut);
  server.Answer("/to-file", LoopbackAnswer::Redirect("file:///etc/passwd"));
  server.Answer("/loop", LoopbackAnswer::Redirect("/loop"));
  server.Answer("/big", LoopbackAnswer::Ok(std::string(5000, 'b')));
  LoopbackAnswer bigUnannounced = LoopbackAnswer::Ok(std::string(5000, 'u'));
  bigUnannounced.trickleBytes = 1000;
  server.Answer("/big-unannounced", bigUnannounced);
  LoopbackAnswer stalled = LoopbackAnswer::Ok("late");
  stalled.delayMs = 4000;
  server.Answer("/stalled", stalled);

  HttpLimits small;
  small.maxBodyBytes = 2000;
  small.stallSeconds = 1;

  struct Case {
    std::string url;
    FetchError error;
  };
  const std::vector<Case> cases = {
      {server.Url("/cut"), FetchError::kBrokenTransfer},
      {server.Url("/to-file"), FetchError::kRefusedRedirect},
      {server.Url("/loop"), FetchError::kTooManyRedirects},
      {server.Url("/big"), FetchError::kTooLarge},
      {server.Url("/big-unannounced"), FetchError::kTooLarge},
      {server.Url("/stalled"), FetchError::kTimedOut},
      {LoopbackServer::ClosedPortUrl("/page"), FetchError::kCannotConnect},
      {"file:///etc/passwd", FetchError::kUnsupportedAddress},
      {"ftp://127.0.0.1/x", FetchError::kUnsupportedAddress},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    const HttpResult result = HttpGet(c.url, small);
    EXPECT_EQ(result.error, c.error) << result.errorText;
    EXPECT_FALSE(result.errorText.empty());
    EXPECT_TRUE(result.body.empty());
  }
  // A redirect loop is followed five times, then given up.
  EXPECT_EQ(server.RequestCount("/loop"), 6);
}

TEST(HttpClient, RecognisesWebAddressesOnly) {
  EXPECT_TRUE(IsWebAddress("http://a/"));
  EXPECT_TRUE(IsWebAddress("HTTPS://a/"));
  EXPECT_FALSE(IsWebAddress("http://"));
  EXPECT_FALSE(IsWebAddress("file:///etc/passwd"));
  EXPECT_FALSE(IsWebAddress(" http://a/"));
  EXPECT_FALSE(IsWebAddress(""));
}

}  // namespace
}  // namespace quorvane::workshop
