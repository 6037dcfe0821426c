#include "workshop/ModInfo.h"

#include <gmock/gmock.h>

#include "WorkshopFixture.h"

namespace quorvane::workshop {
namespace {

using ::testing::ElementsAre;

constexpr const char* kAuthorLine =
    R"(<div class="linkAuthor"><a href="https://steamcommunity.com/id/alice/myworkshopfiles/?appid=255710">)";
// Exactly 16 bytes after the name.
constexpr const char* kAuthorEnd = "</a></div></div>";
constexpr const char* kDescriptionMarker = R"(<div class="detailBox altFooter">)";
constexpr const char* kDescriptionOpen = R"(<div class="workshopItemDescription" id="highlightContent">)";

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// A page of the usual shape; an empty part leaves its block out.
std::string Page(const std::string& author, const std::string& title, const std::string& description) {
  std::string page = "<html>\n<head>\n";
  if (!title.empty()) page += "<title>Steam Workshop :: " + title + "</title>\n";
  page += "</head>\n<body>\n";
  if (!author.empty()) page += std::string(kAuthorLine) + author + kAuthorEnd + "\n";
  if (!description.empty()) {
    page += std::string(kDescriptionMarker) + "\n\t<div class=\"detailBox\">\n" + kDescriptionOpen +
            description + "</div>\n";
  }
  return page + "</body>\n</html>\n";
}

std::string WithCrLf(const std::string& page) {
  std::string out;
  for (char c : page) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

class ModInfoTest : public WorkshopTest {
 protected:
  // Fields 3, 4, 6 and 7..14 of record r, as stored.
  std::vector<Text> Stored(int r) const {
    std::vector<Text> fields = {Field(r, index::kName), Field(r, index::kAuthor), Field(r, index::kInvalid)};
    for (int k = index::kFirstDescription; k < index::kFirstDescription + index::kDescriptionPieces; ++k) {
      fields.push_back(Field(r, k));
    }
    return fields;
  }
  // The same cells of row r - 1.
  std::vector<Text> Shown(int r) const {
    std::vector<Text> cells = {list.CellText(r - 1, 2), list.CellText(r - 1, 3), list.CellText(r - 1, 5)};
    for (int c = 6; c < 14; ++c) cells.push_back(list.CellText(r - 1, c));
    return cells;
  }
};

struct PageCase {
  const char* what;
  std::string page;
  Text name;
  Text author;
  bool invalid;
  std::vector<Text> pieces;  // 描述1.., the rest empty
};

TEST_F(ModInfoTest, CutsAuthorNameAndDescriptionAsTheMarkersPlaceThem) {
  const std::string han300 = Repeat("中", 150);  // 450 bytes of UTF-8, 300 of GBK
  const Text gbk300 = Gbk(han300);
  const std::string han3000 = Repeat("中", 1500);
  const Text gbk3000 = Gbk(han3000);
  const Text oddStart = Gbk("a" + han300);  // a two-byte character split between pieces 1 and 2
  const std::vector<PageCase> cases = {
      {"usual page",
       Page("Alice", "Road Kit", "Roads.<br>More roads."),
       "Road Kit",
       "Alice",
       false,
       {"Roads.<br>More roads."}},
      {"no author block", Page("", "Gone Mod", "Still here"), "Gone Mod", "", true, {"Still here"}},
      {"indented title",
       "    <title>Steam Workshop :: My Mod</title>\n" + std::string(kAuthorLine) + "Bob" + kAuthorEnd + "\n",
       " :: My Mod",
       "Bob",
       false,
       {}},
      {"300 bytes after conversion",
       Page("A", "T", han300),
       "T",
       "A",
       false,
       {gbk300.substr(0, 256), gbk300.substr(256)}},
      {"split character",
       Page("A", "T", "a" + han300),
       "T",
       "A",
       false,
       {oddStart.substr(0, 256), oddStart.substr(256)}},
      {"3000 bytes",
       Page("A", "T", han3000),
       "T",
       "A",
       false,
       {gbk3000.substr(0, 256), gbk3000.substr(256, 256), gbk3000.substr(512, 256), gbk3000.substr(768, 256),
        gbk3000.substr(1024, 256), gbk3000.substr(1280, 256), gbk3000.substr(1536, 256),
        gbk3000.substr(1792, 256)}},
      {"description marker on the last line",
       std::string(kAuthorLine) + "A" + kAuthorEnd + "\n" + kDescriptionMarker,
       "",
       "A",
       false,
       {}},
      {"description marker on the second-to-last line",
       std::string(kAuthorLine) + "A" + kAuthorEnd + "\n" + kDescriptionMarker + "\nlast\n",
       "",
       "A",
       false,
       {}},
      {"invalid UTF-8 in the author",
       Page("Al\xff"
            "ce",
            "T", "D"),
       "T",
       "",
       false,
       {"D"}},
      {"an emoji outside GBK",
       Page("A", "Smile \xF0\x9F\x98\x80", "D"),
       "Smile \x94\x39\xFC\x36",
       "A",
       false,
       {"D"}},
      {"markers in another letter case",
       "<TITLE>Steam Workshop :: Loud</TITLE>\n<DIV CLASS=\"LINKAUTHOR\"><a href=\"x?APPID=255710\">Carl" +
           std::string(kAuthorEnd) + "\n",
       "Loud",
       "Carl",
       false,
       {}},
      {"zero and 26 bytes before the markers",
       std::string("\0\x1a\n", 3) + Page("Dee", "T", "D"),
       "T",
       "Dee",
       false,
       {"D"}},
      {"no appid marker: the visible text after the author marker",
       "<div class=\"linkAuthor\"> <span>Eve</span> </div>\n",
       "",
       "Eve",
       false,
       {}},
      {"no link-end marker: the line less its closing tag",
       std::string(kAuthorLine) + "A" + kAuthorEnd + "\n" + kDescriptionMarker +
           "\nskipped\nplain words</div>\n",
       "",
       "A",
       false,
       {"plain words"}},
      {"an empty page", "", "", "", true, {}},
  };
  std::vector<Mod> mods;
  for (size_t i = 0; i < cases.size(); ++i) mods.push_back({std::to_string(100 + i)});
  AddMods(mods);
  for (size_t i = 0; i < cases.size(); ++i) workshop.WriteFile(PageOf(mods[i].id), cases[i].page);

  ExtractModInfo(workspace);

  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    std::vector<Text> expected = {cases[i].name, cases[i].author, Gbk(cases[i].invalid ? "真" : "假")};
    for (int p = 0; p < index::kDescriptionPieces; ++p) {
      expected.push_back(p < static_cast<int>(cases[i].pieces.size()) ? cases[i].pieces[p] : Text());
    }
    const int r = static_cast<int>(i) + 1;
    EXPECT_EQ(Stored(r), expected);
    EXPECT_EQ(Shown(r), expected);
  }
  EXPECT_EQ(window.logEntries.back(),
            Gbk("\r\n\r\n获取MOD信息完成，共获取文档信息") + std::to_string(cases.size()) + Gbk("个"));
}

TEST_F(ModInfoTest, CarriageReturnsBeforeLineFeedsChangeNothing) {
  const std::string page = Page("Alice", "Road Kit", "Roads.<br>More roads.");
  AddMods({{"1"}, {"2"}});
  workshop.WriteFile(PageOf("1"), page);
  workshop.WriteFile(PageOf("2"), WithCrLf(page));

  ExtractModInfo(workspace);

  EXPECT_EQ(Stored(2), Stored(1));
  EXPECT_EQ(Field(2, index::kAuthor), "Alice");
  EXPECT_EQ(Field(2, index::kFirstDescription), "Roads.<br>More roads.");
}

TEST_F(ModInfoTest, TakesOnlyPendingRecordsAndKeepsWhatIsFilled) {
  AddMods({{"11", false, "Old Name", "", "", "old description"},
           {"12", false, "", "Known Author"},
           {"13", true},
           {"14"},
           {"15"}});
  for (const char* id : {"11", "12", "13", "14"}) {
    workshop.WriteFile(PageOf(id), Page("New Author", "New Name", "new description"));
  }
  // 15 has no page yet.

  ExtractModInfo(workspace);

  EXPECT_EQ(Field(1, index::kName), "Old Name");
  EXPECT_EQ(Field(1, index::kAuthor), "New Author");
  EXPECT_EQ(Field(1, index::kFirstDescription), "old description");
  EXPECT_EQ(Field(2, index::kName), "");  // its author is filled: never revisited
  EXPECT_EQ(Field(3, index::kName), "");
  EXPECT_EQ(Field(4, index::kName), "New Name");
  EXPECT_EQ(Field(5, index::kInvalid), Gbk("假"));
  auto line = [](const char* serial, const char* id) {
    return Gbk("正在获取MOD信息，序号：") + serial + Gbk("，目录名：") + id;
  };
  EXPECT_THAT(window.progressLines,
              ElementsAre(line("1", "11"), line("4", "14"), Gbk("获取MOD信息完成，共获取文档信息2个")));
  EXPECT_THAT(window.logEntries, ElementsAre(Gbk("\r\n\r\n获取MOD信息完成，共获取文档信息2个")));
  EXPECT_TRUE(window.questions.empty());
}

TEST_F(ModInfoTest, AnAuthorThatDoesNotConvertLeavesTheRecordPendingForTheNextRun) {
  AddMods({{"21"}});
  workshop.WriteFile(PageOf("21"), Page("Al\xff"
                                        "ce",
                                        "T", "D"));

  ExtractModInfo(workspace);
  workshop.WriteFile(PageOf("21"), Page("Alice", "Other", "Other"));
  ExtractModInfo(workspace);

  EXPECT_EQ(Field(1, index::kAuthor), "Alice");
  EXPECT_EQ(Field(1, index::kName), "T");
  EXPECT_EQ(Field(1, index::kFirstDescription), "D");
  EXPECT_THAT(window.logEntries, ElementsAre(Gbk("\r\n\r\n获取MOD信息完成，共获取文档信息1个"),
                                             Gbk("\r\n\r\n获取MOD信息完成，共获取文档信息1个")));
}

TEST_F(ModInfoTest, AnEmptyTableOpensNoPage) {
  ExtractModInfo(workspace);

  EXPECT_THAT(window.progressLines, ElementsAre(Gbk("获取MOD信息完成，共获取文档信息0个")));
  EXPECT_THAT(window.logEntries, ElementsAre(Gbk("\r\n\r\n获取MOD信息完成，共获取文档信息0个")));
  EXPECT_THAT(window.pumps, ElementsAre(1000));
  EXPECT_FALSE(window.visible[Control::ProgressBox]);
}

}  // namespace
}  // namespace quorvane::workshop
