#include "workshop/PreviewDownload.h"

#include <gmock/gmock.h>

#include "LoopbackServer.h"
#include "WorkshopFixture.h"

namespace quorvane::workshop {
namespace {

using ::testing::ElementsAre;
using testing::LoopbackAnswer;
using testing::LoopbackServer;

const Text kQuestion = Gbk(
    "      "
    "现在将连接到Steam创意工坊页面下载预览图，根据网速和下载量的不同会需要相当长一段时间，期间会有假死现象."
    "如果继续，将下载相应MOD编号的*.jpg文件到相应目录，是否继续？");

class PreviewDownloadTest : public WorkshopTest {
 protected:
  Text Address(const Text& id) const { return server.Url("/ugc/" + id + "/"); }
  Text Line(const char* serial, const char* id) const {
    return Gbk("正在下载预览图，序号：") + serial + Gbk("，目录名：") + id;
  }

  LoopbackServer server;
};

TEST_F(PreviewDownloadTest, EachFileStateGetsItsOwnFetches) {
  AddMods({{"1", false, "", "", Address("1")},  // no file: the first form
           {"2", true, "", "", Address("2")},   // invalid, no file: counted, nothing fetched
           {"3", false, "", "", Address("3")},  // filled: nothing
           {"4", false, "", "", Address("4")},  // empty: second form fails, then the bare address
           {"5", true, "", "", Address("5")},   // empty and invalid: retried all the same
           {"6", false, "", "", ""},            // no address: silent
           {"7", false, "", "", "file:///etc/passwd"}});
  workshop.WriteFile(PreviewOf("3"), "old picture");
  workshop.WriteFile(PreviewOf("4"), "");
  workshop.WriteFile(PreviewOf("5"), "");
  server.Answer("/ugc/1/637x358.resizedimage", LoopbackAnswer::Ok("picture 1"));
  server.Answer("/ugc/4/512x0.resizedimage", LoopbackAnswer::Status(404, "<html>not here</html>"));
  server.Answer("/ugc/4/", LoopbackAnswer::Ok("picture 4"));
  server.Answer("/ugc/5/512x0.resizedimage", LoopbackAnswer::Ok("picture 5"));

  DownloadPreviews(workspace);

  EXPECT_THAT(window.questions, ElementsAre(kQuestion));
  EXPECT_EQ(workshop.ReadFile(PreviewOf("1")), "picture 1");
  EXPECT_FALSE(workshop.Exists(PreviewOf("2")));
  EXPECT_EQ(workshop.ReadFile(PreviewOf("3")), "old picture");
  EXPECT_EQ(workshop.ReadFile(PreviewOf("4")), "picture 4");
  EXPECT_EQ(workshop.ReadFile(PreviewOf("5")), "picture 5");
  EXPECT_FALSE(workshop.Exists(PreviewOf("6")));
  EXPECT_EQ(workshop.ReadFile(PreviewOf("7")), "");
  std::vector<std::string> targets;
  for (const auto& request : server.Requests()) targets.push_back(request.target);
  std::sort(targets.begin(), targets.end());
  EXPECT_THAT(targets, ElementsAre("/ugc/1/637x358.resizedimage", "/ugc/4/", "/ugc/4/512x0.resizedimage",
                                   "/ugc/5/512x0.resizedimage"));
  EXPECT_THAT(window.progressLines, ElementsAre(Line("1", "1"), Line("2", "2"), Line("7", "7"),
                                                Gbk("下载预览图完成，共下载预览图3个")));
  EXPECT_THAT(window.logEntries, ElementsAre(Gbk("\r\n\r\n下载预览图完成，共下载预览图3个")));
  EXPECT_THAT(FilesIn("4"), ElementsAre("4.jpg"));
}

TEST_F(PreviewDownloadTest, AFailedFetchLeavesAnEmptyFileNeverAnErrorPage) {
  LoopbackAnswer cut = LoopbackAnswer::Ok(std::string(1000, 'j'));
  cut.cutAfterBytes = 10;
  const std::vector<LoopbackAnswer> answers = {LoopbackAnswer::Status(500, "<html>error page</html>"),
                                               LoopbackAnswer::Status(404, "<html>missing</html>"), cut,
                                               LoopbackAnswer::Redirect("file:///etc/passwd")};
  std::vector<Mod> mods;
  for (size_t i = 0; i < answers.size(); ++i) {
    const Text id = std::to_string(10 + i);
    mods.push_back({id, false, "", "", Address(id)});
    server.Answer("/ugc/" + id + "/637x358.resizedimage", answers[i]);
  }
  AddMods(mods);

  DownloadPreviews(workspace);

  for (const Mod& mod : mods) {
    EXPECT_EQ(workshop.ReadFile(PreviewOf(mod.id)), "") << mod.id;
    EXPECT_THAT(FilesIn(mod.id), ElementsAre(mod.id + ".jpg"));
  }
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n下载预览图完成，共下载预览图4个"));

  // The next run retries every empty file with the other two forms, in the same pass, without counting.
  server.AnswerOthers(LoopbackAnswer::Status(404));
  const auto before = server.Requests().size();
  DownloadPreviews(workspace);
  EXPECT_EQ(server.Requests().size() - before, 8u);
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n下载预览图完成，共下载预览图0个"));
  EXPECT_EQ(window.progressLines.back(), Gbk("下载预览图完成，共下载预览图0个"));
}

TEST_F(PreviewDownloadTest, CancelChangesNothing) {
  AddMods({{"1", false, "", "", Address("1")}});
  window.AnswerConfirm(false);

  DownloadPreviews(workspace);

  EXPECT_TRUE(server.Requests().empty());
  EXPECT_TRUE(window.logEntries.empty());
  EXPECT_FALSE(workshop.Exists(PreviewOf("1")));
}

TEST_F(PreviewDownloadTest, NoAddressMeansNoRequest) {
  AddMods({{"1"}, {"2", true}});

  DownloadPreviews(workspace);

  EXPECT_TRUE(server.Requests().empty());
  EXPECT_THAT(window.progressLines, ElementsAre(Gbk("下载预览图完成，共下载预览图0个")));
  EXPECT_THAT(window.logEntries, ElementsAre(Gbk("\r\n\r\n下载预览图完成，共下载预览图0个")));
}

}  // namespace
}  // namespace quorvane::workshop
