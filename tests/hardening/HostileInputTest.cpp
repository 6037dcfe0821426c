// Odd pages, odd folders and hostile servers: each gets its documented quiet behaviour, never a crash or a
// hang, and nothing already stored is lost.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "HardeningFixture.h"
#include "LoopbackServer.h"
#include "index/IndexBuilding.h"
#include "workshop/ModInfo.h"
#include "workshop/PageDownload.h"
#include "workshop/PreviewAddress.h"

namespace quorvane::hardening {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::LoopbackAnswer;
using testing::LoopbackServer;

class HostileInputTest : public HardeningTest {
 protected:
  void WritePage(const Text& id, const std::string& page) {
    std::ofstream(PagePath(id), std::ios::binary)
        .write(page.data(), static_cast<std::streamsize>(page.size()));
  }
  fs::path PagePath(const Text& id) const { return text::ToNativePath(workspace.PageFile(id)); }
};

// A folder or a pipe where the page should be is no page: passed over, not counted, still pending, and
// neither read for ever nor taken for a file of the size a folder reports.
TEST_F(HostileInputTest, APageThatIsNoRegularFileIsPassedOver) {
  AddMods({"1", "2", "3"});
  fs::create_directory(PagePath("1"));
  ASSERT_EQ(mkfifo(PagePath("2").c_str(), 0600), 0);
  WritePage("3", WorkshopPage("Three", "Cleo", "Words", "http://127.0.0.1:9/ugc/3/"));

  workshop::ExtractModInfo(workspace);
  workshop::ExtractPreviewAddresses(workspace);

  EXPECT_EQ(window.logEntries, (std::vector<Text>{Gbk("\r\n\r\n获取MOD信息完成，共获取文档信息1个"),
                                                  Gbk("\r\n\r\n获取预览图地址完成，共获取预览图地址1个")}));
  for (int r : {1, 2}) {
    EXPECT_EQ(Field(r, index::kAuthor), "");
    EXPECT_EQ(Field(r, index::kInvalid), Gbk("假"));
  }
  EXPECT_EQ(Field(3, index::kAuthor), "Cleo");
  EXPECT_EQ(Field(3, index::kPreviewUrl), "http://127.0.0.1:9/ugc/3/");
}

// 50 MB on one line: the extraction finishes and keeps only what its cuts take, the description at most
// eight pieces of 256 bytes.
TEST_F(HostileInputTest, FiftyMegabytesOnOneLineAreCutAsAnyLine) {
  AddMods({"1", "2"});
  const std::string huge(50u << 20, 'd');
  WritePage("1", WorkshopPage("Big", "Ann", huge, "http://127.0.0.1:9/ugc/1/"));
  // The whole page one line: author block, title and the rest side by side.
  const std::string oneLine = "<div class=\"linkAuthor\"><a href=\"x?appid=255710\">Bob</a></div></div>" +
                              huge + "<title>Steam Workshop :: Name</title>";
  WritePage("2", oneLine);

  workshop::ExtractModInfo(workspace);

  const auto records = AllFields(workspace.TablePath());
  ASSERT_EQ(records.size(), 2u);
  const auto pieces = [&](int r) {
    return std::vector<Text>(records[r - 1].begin() + index::kFirstDescription - 1, records[r - 1].end());
  };
  EXPECT_EQ(records[0][index::kName - 1], "Big");
  EXPECT_EQ(records[0][index::kAuthor - 1], "Ann");
  EXPECT_THAT(pieces(1), ::testing::Each(std::string(256, 'd')));
  // The author starts after the appid marker and ends 16 bytes before the end of its line, which holds
  // the whole page; the name starts at byte 26 and ends 8 bytes before the end.
  const Text& author = records[1][index::kAuthor - 1];
  EXPECT_EQ(author.size(), oneLine.size() - 49 - 16);
  EXPECT_EQ(author.substr(0, 3), "Bob");
  EXPECT_TRUE(records[1][index::kName - 1] == oneLine.substr(25, oneLine.size() - 33));
  EXPECT_THAT(pieces(2), ::testing::Each(Text()));
}

// Bytes 0 and 26 end a text file for a reader of lines, not a page: what follows them is still read, and
// the preview address keeps its bytes as the page holds them.
TEST_F(HostileInputTest, BytesZeroAndTwentySixInsideTheCutLinesAreKeptOrEndTheConvertedText) {
  AddMods({"1"});
  const std::string address = std::string("http://127.0.0.1:9/a\0b\x1a/", 25);
  std::string page = WorkshopPage("Na\x1ame", "Al\0ice", "one\x1a<br>two", address);
  WritePage("1", page);

  workshop::ExtractModInfo(workspace);
  workshop::ExtractPreviewAddresses(workspace);

  EXPECT_EQ(Field(1, index::kName), "Na\x1ame");
  EXPECT_EQ(Field(1, index::kAuthor), "Al");  // the converted text ends at its first zero byte
  EXPECT_EQ(Field(1, index::kFirstDescription), "one\x1a<br>two");
  EXPECT_EQ(Field(1, index::kPreviewUrl), address);
  EXPECT_EQ(list.CellText(0, index::kPreviewUrl - 1), address);
}

// A server that sends a byte now and then is as stalled as one that sends nothing: the transfer is given
// up after the stall time, nothing is stored, and the next run tries again.
TEST_F(HostileInputTest, AServerThatTricklesIsAbandonedAfterTheStallTime) {
  LoopbackServer server;
  AddMods({"1", "2"});
  for (const auto& [id, bytesPerSecond] : {std::pair{"1", 1}, std::pair{"2", 3}}) {
    LoopbackAnswer trickle = LoopbackAnswer::Ok(std::string(60, 't'));
    trickle.trickleBytes = bytesPerSecond;
    trickle.trickleEveryMs = 1000;
    server.Answer(std::string("/page?id=") + id, trickle);
  }
  window.SetText(Control::PagePrefixBox, server.Url("/page?id="));
  workshop::FetchOptions options;
  options.limits.stallSeconds = 1;
  options.backOff.retries = 0;

  workshop::DownloadPages(workspace, options);

  EXPECT_FALSE(fs::exists(PagePath("1")));
  EXPECT_FALSE(fs::exists(PagePath("2")));
  EXPECT_THAT(window.logEntries, ElementsAre(Gbk("\r\n\r\n下载网页文档完成，共下载文档0个，失败2个")));
}

// Folder names with a space, Chinese characters and a character only GB18030 codes (an emoji): indexed,
// their page path built from the name, the page fetched, stored and read back.
TEST_F(HostileInputTest, FolderNamesBeyondDigitsAreIndexedFetchedStoredAndReadBack) {
  LoopbackServer server;
  const std::vector<std::string> names = {"my mod", "模组 甲",
                                          "smile \xF0\x9F\x98\x80"};  // UTF-8, as on disk
  for (const std::string& name : names) fs::create_directory(workshop.path() / fs::u8path(name));
  server.AnswerOthers(LoopbackAnswer::Ok(WorkshopPage("Name", "Ann", "Words", "http://127.0.0.1:9/u/")));
  window.SetText(Control::PagePrefixBox, server.Url("/page?id="));

  index::BuildNewIndex(workspace);
  workshop::DownloadPages(workspace);
  workshop::ExtractModInfo(workspace);

  const auto records = AllFields(workspace.TablePath());
  ASSERT_EQ(records.size(), names.size());
  std::vector<Text> ids;
  for (const auto& record : records) ids.push_back(record[index::kItemId - 1]);
  std::vector<Text> expected;
  for (const std::string& name : names) expected.push_back(text::Utf8ToGbk(name));
  EXPECT_THAT(ids, ::testing::UnorderedElementsAreArray(expected));
  for (size_t r = 0; r < records.size(); ++r) {
    SCOPED_TRACE(records[r][index::kItemId - 1]);
    const fs::path page = PagePath(records[r][index::kItemId - 1]);
    EXPECT_TRUE(fs::is_regular_file(page)) << page;
    EXPECT_EQ(records[r][index::kAuthor - 1], "Ann");
  }
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n获取MOD信息完成，共获取文档信息3个"));
  EXPECT_EQ(server.Requests().size(), names.size());
}

// The Workshop folder removed while a step runs: the step ends with its summary, and nothing is written
// anywhere, the removed folder included.
TEST_F(HostileInputTest, AWorkshopFolderRemovedMidRunEndsWithTheSummaryAndWritesNothing) {
  LoopbackServer server;
  std::vector<Text> ids;
  for (int i = 0; i < 8; ++i) ids.push_back(std::to_string(900 + i));
  AddMods(ids);
  server.AnswerOthers(LoopbackAnswer::Ok(WorkshopPage("Name", "Ann", "Words", "http://127.0.0.1:9/u/")));
  window.SetText(Control::PagePrefixBox, server.Url("/page?id="));
  window.SetTicked(Control::ProgressCheck, true);
  int pauses = 0;
  window.onPump = [&](int ms) {
    if (ms == 1 && ++pauses == 3) fs::remove_all(workshop.path());
  };
  const auto programBefore = EntriesIn(program.path());

  workshop::DownloadPages(workspace);
  pauses = 0;
  workshop::ExtractModInfo(workspace);

  ASSERT_EQ(window.logEntries.size(), 2u);
  EXPECT_THAT(window.logEntries[0], ::testing::StartsWith(Gbk("\r\n\r\n下载网页文档完成，共下载文档")));
  EXPECT_EQ(window.logEntries[1], Gbk("\r\n\r\n获取MOD信息完成，共获取文档信息0个"));
  EXPECT_FALSE(fs::exists(workshop.path()));
  for (const std::string& entry : EntriesIn(program.path())) {
    EXPECT_THAT(entry, ::testing::StartsWith("CSLmod.edb"));
  }
  EXPECT_EQ(IntegrityCheck(TablePath()), "ok");
}

}  // namespace
}  // namespace quorvane::hardening
