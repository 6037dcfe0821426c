#include "workshop/PageDownload.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <numeric>

#include "LoopbackServer.h"
#include "WorkshopFixture.h"
#include "window/Progress.h"

namespace quorvane::workshop {
namespace {

using ::testing::ElementsAre;
using testing::LoopbackAnswer;
using testing::LoopbackServer;

const Text kQuestion =
    Gbk("      "
        "现在将连接到Steam创意工坊页面下载相关文档，根据网速和下载量的不同会需要相当长一段时间，期间会有假死"
        "现象。"
        "如果继续，将下载相应MOD编号的*.info.txt文件到相应目录，是否继续？");

class PageDownloadTest : public WorkshopTest {
 protected:
  PageDownloadTest() {
    window.SetText(Control::PagePrefixBox, server.Url("/page?id="));
    options.backOff.retries = 0;
  }

  static std::string Target(const Text& id) { return "/page?id=" + id; }
  Text Line(int serial, const Text& id) const {
    return Gbk("正在下载网页文档，序号：") + std::to_string(serial) + Gbk("，目录名：") + id;
  }

  LoopbackServer server;
  FetchOptions options;
};

TEST_F(PageDownloadTest, FetchesEachCandidateOnceAndReportsTheCount) {
  AddMods({{"101"}, {"102", true}, {"103"}, {"104"}, {"105"}});
  workshop.WriteFile(PageOf("103"), "kept page");
  workshop.WriteFile(PageOf("104"), "");  // left by a failed fetch of an older run
  for (const char* id : {"101", "102", "103", "104", "105"}) {
    server.Answer(Target(id), LoopbackAnswer::Ok(std::string("page of ") + id));
  }

  DownloadPages(workspace, options);

  EXPECT_THAT(window.questions, ElementsAre(kQuestion));
  EXPECT_EQ(workshop.ReadFile(PageOf("101")), "page of 101");
  EXPECT_FALSE(workshop.Exists(PageOf("102")));
  EXPECT_EQ(workshop.ReadFile(PageOf("103")), "kept page");
  EXPECT_EQ(workshop.ReadFile(PageOf("104")), "page of 104");
  EXPECT_EQ(workshop.ReadFile(PageOf("105")), "page of 105");
  EXPECT_EQ(server.RequestCount(Target("102")), 0);
  EXPECT_EQ(server.RequestCount(Target("103")), 0);
  EXPECT_THAT(window.progressLines, ElementsAre(Line(1, "101"), Line(4, "104"), Line(5, "105"),
                                                Gbk("下载网页文档完成，共下载文档3个")));
  EXPECT_THAT(window.logEntries, ElementsAre(Gbk("\r\n\r\n下载网页文档完成，共下载文档3个")));
  // The progress check box is clear: the box never shows, yet the window's events run between polls.
  EXPECT_THAT(window.progressBoxVisibleAt, ::testing::Each(false));
  EXPECT_FALSE(window.visible[Control::ProgressBox]);
  EXPECT_GT(window.pendingEventRuns, 0);
  EXPECT_THAT(window.pumps, ElementsAre(1000));
  EXPECT_THAT(FilesIn("101"), ElementsAre("101.info.txt"));
}

TEST_F(PageDownloadTest, StoresLastingAnswersOnlyAndTriesTheOthersAgainNextRun) {
  struct Case {
    Text id;
    LoopbackAnswer answer;
    bool stored;
  };
  LoopbackAnswer cut = LoopbackAnswer::Ok(std::string(1000, 'c'));
  cut.cutAfterBytes = 100;
  LoopbackAnswer stalled = LoopbackAnswer::Ok("late");
  stalled.delayMs = 4000;
  const std::vector<Case> cases = {
      {"201", LoopbackAnswer::Ok("<html>the page</html>"), true},
      {"202", LoopbackAnswer::Status(404, "<html>no such item</html>"), true},
      {"203", LoopbackAnswer::Status(410, "<html>removed</html>"), true},
      {"204", LoopbackAnswer::Status(500, "<html>oops</html>"), false},
      {"205", LoopbackAnswer::Status(503, "<html>busy</html>"), false},
      {"206", LoopbackAnswer::Status(408, "<html>timeout</html>"), false},
      {"207", LoopbackAnswer::TooManyRequests(1), false},
      {"208", cut, false},
      {"209", LoopbackAnswer::Ok(std::string(5000, 'x')), false},  // over the cap
      {"210", LoopbackAnswer::Redirect("file:///etc/passwd"), false},
      {"211", LoopbackAnswer::Redirect(Target("211")), false},  // a loop
      {"212", stalled, false},
  };
  std::vector<Mod> mods;
  for (const auto& c : cases) {
    mods.push_back({c.id});
    server.Answer(Target(c.id), c.answer);
  }
  AddMods(mods);
  options.limits.maxBodyBytes = 2000;
  options.limits.stallSeconds = 1;

  DownloadPages(workspace, options);

  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(workshop.Exists(PageOf(c.id)), c.stored);
    if (c.stored) {
      EXPECT_EQ(workshop.ReadFile(PageOf(c.id)), c.answer.body);
    }
    EXPECT_THAT(FilesIn(c.id), ::testing::Each(::testing::Not(::testing::HasSubstr("partial"))));
  }
  EXPECT_EQ(window.progressLines.back(), Gbk("下载网页文档完成，共下载文档3个，失败9个"));
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n下载网页文档完成，共下载文档3个，失败9个"));

  // Once the server is well again, only the failed ones are fetched.
  for (const auto& c : cases) server.Answer(Target(c.id), LoopbackAnswer::Ok("well again"));
  const auto requestsBefore = server.Requests().size();
  DownloadPages(workspace, options);
  EXPECT_EQ(server.Requests().size() - requestsBefore, 9u);
  EXPECT_EQ(workshop.ReadFile(PageOf("204")), "well again");
  EXPECT_EQ(workshop.ReadFile(PageOf("202")), "<html>no such item</html>");
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n下载网页文档完成，共下载文档9个"));
}

TEST_F(PageDownloadTest, WithTheNetworkDownNothingIsStoredAndEveryRunTriesAgain) {
  window.SetText(Control::PagePrefixBox, LoopbackServer::ClosedPortUrl("/page?id="));
  AddMods({{"301"}, {"302"}});

  DownloadPages(workspace, options);
  DownloadPages(workspace, options);

  EXPECT_FALSE(workshop.Exists(PageOf("301")));
  EXPECT_FALSE(workshop.Exists(PageOf("302")));
  EXPECT_THAT(window.logEntries, ElementsAre(Gbk("\r\n\r\n下载网页文档完成，共下载文档0个，失败2个"),
                                             Gbk("\r\n\r\n下载网页文档完成，共下载文档0个，失败2个")));
  EXPECT_THAT(window.progressLines, ::testing::Contains(Line(2, "302")).Times(2));
}

TEST_F(PageDownloadTest, TheEditedPrefixIsUsedAndTheDefaultOnlyWhenTheBoxIsEmpty) {
  AddMods({{"401"}, {"402"}});
  window.SetText(Control::PagePrefixBox, server.Url("/mirror/"));
  server.Answer("/mirror/401", LoopbackAnswer::Ok("from the mirror"));
  // The default prefix names a host on the internet: a proxy on the loopback server stands in for it.
  window.onPendingEvents = [&] { window.SetText(Control::PagePrefixBox, ""); };
  const char* before = std::getenv("http_proxy");
  const std::string proxyBefore = before ? before : "";
  setenv("http_proxy", server.Url("").c_str(), 1);
  server.AnswerOthers(LoopbackAnswer::Ok("through the proxy"));
  options.parallel = 1;

  DownloadPages(workspace, options);
  if (before) {
    setenv("http_proxy", proxyBefore.c_str(), 1);
  } else {
    unsetenv("http_proxy");
  }

  EXPECT_EQ(workshop.ReadFile(PageOf("401")), "from the mirror");
  EXPECT_EQ(workshop.ReadFile(PageOf("402")), "through the proxy");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].target, std::string(index::kDefaultPagePrefix) + "402");
}

TEST_F(PageDownloadTest, CancelChangesNothing) {
  AddMods({{"501"}});
  window.AnswerConfirm(false);

  DownloadPages(workspace, options);

  EXPECT_THAT(window.questions, ElementsAre(kQuestion));
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_TRUE(window.progressLines.empty());
  EXPECT_TRUE(window.logEntries.empty());
  EXPECT_FALSE(workshop.Exists(PageOf("501")));
  EXPECT_FALSE(table.IsOpen());
}

TEST_F(PageDownloadTest, AnEmptyTableFetchesNothing) {
  DownloadPages(workspace, options);

  EXPECT_TRUE(server.Requests().empty());
  EXPECT_THAT(window.progressLines, ElementsAre(Gbk("下载网页文档完成，共下载文档0个")));
  EXPECT_THAT(window.logEntries, ElementsAre(Gbk("\r\n\r\n下载网页文档完成，共下载文档0个")));
}

TEST_F(PageDownloadTest, ARetryAfterIsWaitedOutOnTheWindowsClockThenAskedAgain) {
  AddMods({{"601"}});
  server.AnswerInTurn(Target("601"), {LoopbackAnswer::TooManyRequests(7), LoopbackAnswer::Ok("at last")});
  options.backOff.retries = 2;

  DownloadPages(workspace, options);

  EXPECT_EQ(workshop.ReadFile(PageOf("601")), "at last");
  EXPECT_EQ(server.RequestCount(Target("601")), 2);
  const long long waited = std::accumulate(window.pumps.begin(), window.pumps.end() - 1, 0LL);
  EXPECT_GE(waited, 7000);
  EXPECT_LE(waited, 7200);
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n下载网页文档完成，共下载文档1个"));
}

TEST_F(PageDownloadTest, ServesFourAtOnceAndKeepsEachPageWithItsMod) {
  std::vector<Mod> mods;
  for (int i = 1; i <= 8; ++i) {
    const Text id = std::to_string(700 + i);
    mods.push_back({id});
    LoopbackAnswer slow = LoopbackAnswer::Ok("page of " + id);
    slow.delayMs = 300;
    server.Answer(Target(id), slow);
  }
  AddMods(mods);
  // A details click during the run moves the table's current record.
  window.onPendingEvents = [&] { table.GoTo(1); };
  window.SetTicked(Control::ProgressCheck, true);

  DownloadPages(workspace, options);

  EXPECT_EQ(server.MostAtOnce(), 4);
  for (const Mod& mod : mods) EXPECT_EQ(workshop.ReadFile(PageOf(mod.id)), "page of " + mod.id);
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n下载网页文档完成，共下载文档8个"));
  // Ticked: the box shows, and each transfer's start pauses 1 ms before its line.
  EXPECT_THAT(window.progressBoxVisibleAt, ::testing::Each(true));
  EXPECT_EQ(std::count(window.pumps.begin(), window.pumps.end(), 1), 8);
}

TEST_F(PageDownloadTest, AStopAbandonsTheTransfersInFlightAndLeavesNoFile) {
  AddMods({{"801"}, {"802"}, {"803"}, {"804"}, {"805"}});
  LoopbackAnswer slow = LoopbackAnswer::Ok("too late");
  slow.delayMs = 20'000;
  server.AnswerOthers(slow);
  window.onPendingEvents = [&] { window.RequestStop(); };

  DownloadPages(workspace, options);

  for (const char* id : {"801", "802", "803", "804", "805"}) EXPECT_TRUE(FilesIn(id).empty()) << id;
  EXPECT_LE(server.Requests().size(), 4u);
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n下载网页文档完成，共下载文档0个") + window::StoppedNote());
  EXPECT_FALSE(window.longOperationRunning);
}

}  // namespace
}  // namespace quorvane::workshop
