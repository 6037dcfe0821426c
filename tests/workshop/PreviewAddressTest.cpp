#include "workshop/PreviewAddress.h"

#include <gmock/gmock.h>

#include "WorkshopFixture.h"

namespace quorvane::workshop {
namespace {

using ::testing::ElementsAre;

constexpr const char* kMarker = R"(<link rel="image_src" href=")";
// Exactly 20 bytes after the address.
constexpr const char* kLineEnd = R"("><!-- preview -->  )";

class PreviewAddressTest : public WorkshopTest {
 protected:
  Text Line(const char* serial, const char* id) const {
    return Gbk("正在获取预览图地址，序号：") + serial + Gbk("，目录名：") + id;
  }
};

TEST_F(PreviewAddressTest, TakesTheAddressFromTheLineThatOpensWithTheMarker) {
  static_assert(std::char_traits<char>::length(kLineEnd) == 20);
  struct Case {
    const char* what;
    std::string page;
    Text address;
    bool invalid;
  };
  const std::string address = "https://images.example/ugc/1/ABC/";
  const std::vector<Case> cases = {
      {"marker, address, 20 bytes", "<head>\n" + std::string(kMarker) + address + kLineEnd + "\n</head>\n",
       address, false},
      {"upper case, CRLF", "<HEAD>\r\n<LINK REL=\"IMAGE_SRC\" HREF=\"" + address + kLineEnd + "\r\n", address,
       false},
      {"after a space", " " + std::string(kMarker) + address + kLineEnd + "\n", "", true},
      {"after a tab", "\t" + std::string(kMarker) + address + kLineEnd + "\n", "", true},
      {"the first of two lines", std::string(kMarker) + "one" + kLineEnd + "\n" + kMarker + "two" + kLineEnd,
       "one", false},
      {"no preview line", "<html></html>\n", "", true},
      {"an empty page", "", "", true},
  };
  std::vector<Mod> mods;
  for (size_t i = 0; i < cases.size(); ++i) mods.push_back({std::to_string(100 + i)});
  AddMods(mods);
  for (size_t i = 0; i < cases.size(); ++i) workshop.WriteFile(PageOf(mods[i].id), cases[i].page);

  ExtractPreviewAddresses(workspace);

  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    const int r = static_cast<int>(i) + 1;
    const Text flag = Gbk(cases[i].invalid ? "真" : "假");
    EXPECT_EQ(Field(r, index::kPreviewUrl), cases[i].address);
    EXPECT_EQ(Field(r, index::kInvalid), flag);
    EXPECT_EQ(list.CellText(r - 1, 4), cases[i].address);
    EXPECT_EQ(list.CellText(r - 1, 5), flag);
  }
  EXPECT_EQ(window.logEntries.back(), Gbk("\r\n\r\n获取预览图地址完成，共获取预览图地址7个"));
}

TEST_F(PreviewAddressTest, PassesOverFilledAndInvalidRecordsAndCountsOnlyOpenedPages) {
  AddMods({{"1", false, "", "", "https://kept/"}, {"2", true}, {"3"}, {"4"}});
  const std::string page = std::string(kMarker) + "https://new/" + kLineEnd + "\n";
  for (const char* id : {"1", "2", "3"}) workshop.WriteFile(PageOf(id), page);
  // 4 has no page: its line is shown, then it is passed over.

  ExtractPreviewAddresses(workspace);

  EXPECT_EQ(Field(1, index::kPreviewUrl), "https://kept/");
  EXPECT_EQ(Field(2, index::kPreviewUrl), "");
  EXPECT_EQ(Field(3, index::kPreviewUrl), "https://new/");
  EXPECT_EQ(Field(4, index::kInvalid), Gbk("假"));
  EXPECT_THAT(window.progressLines,
              ElementsAre(Line("3", "3"), Line("4", "4"), Gbk("获取预览图地址完成，共获取预览图地址1个")));
  EXPECT_THAT(window.logEntries, ElementsAre(Gbk("\r\n\r\n获取预览图地址完成，共获取预览图地址1个")));
}

TEST_F(PreviewAddressTest, AnEmptyTableOpensNoPage) {
  ExtractPreviewAddresses(workspace);

  EXPECT_THAT(window.progressLines, ElementsAre(Gbk("获取预览图地址完成，共获取预览图地址0个")));
  EXPECT_THAT(window.logEntries, ElementsAre(Gbk("\r\n\r\n获取预览图地址完成，共获取预览图地址0个")));
}

}  // namespace
}  // namespace quorvane::workshop
