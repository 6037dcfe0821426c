#include <gtest/gtest.h>

#include "TempDir.h"
#include "app/Settings.h"
#include "text/Encoding.h"
#include "text/Text.h"

namespace quorvane::app {
namespace {

using text::Gbk;

struct SettingsCase {
  const char* name;
  std::string bytes;
  Text folder;
  Text prefix;
};

class SettingsFromBytesTest : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsFromBytesTest, ReadsTheFirstTwoLines) {
  const Settings settings = SettingsFromBytes(GetParam().bytes);
  EXPECT_EQ(settings.workshopFolder, GetParam().folder);
  EXPECT_EQ(settings.pagePrefix, GetParam().prefix);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFromBytesTest,
    ::testing::Values(SettingsCase{"CrLfThenNoFinalLineEnd", "D:\\mods\r\nhttp://x/?id=", "D:\\mods",
                                   "http://x/?id="},
                      SettingsCase{"LfOnlyAndFurtherLinesIgnored", "a\nb\nc\n", "a", "b"},
                      SettingsCase{"LoneCrStaysInTheLine", "a\rb\r\nc\r", "a\rb", "c\r"},
                      SettingsCase{"EmptyFirstLine", "\r\nprefix\r\n", "", "prefix"},
                      SettingsCase{"OneLine", "only\r\n", "only", ""}, SettingsCase{"EmptyFile", "", "", ""},
                      SettingsCase{"NulEndsTheText", std::string("ab\0cd\r\nnext", 11), "ab", ""},
                      SettingsCase{"CtrlZEndsTheText",
                                   "folder\r\npre\x1A"
                                   "fix\r\n",
                                   "folder", "pre"},
                      SettingsCase{"GbkBytesKept", Gbk("创意工坊\r\n前缀"), Gbk("创意工坊"), Gbk("前缀")},
                      SettingsCase{"Utf8ByteOrderMarkConverted",
                                   "\xEF\xBB\xBF"
                                   "\xE5\x88\x9B\xE6\x84\x8F\r\nhttp://p/",
                                   Gbk("创意"), "http://p/"},
                      SettingsCase{"ByteOrderMarkOnly", "\xEF\xBB\xBF", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadSettingsTest, ReadsAFileAndGivesEmptyLinesForAFolderOrNothing) {
  testing::TempDir dir;
  dir.WriteFile("CSLinfo.txt", "folder\r\nprefix");
  const Settings read = ReadSettings(text::JoinPath(dir.text(), "CSLinfo.txt"));
  EXPECT_EQ(read.workshopFolder, "folder");
  EXPECT_EQ(read.pagePrefix, "prefix");

  dir.MakeDir("folder.txt");
  const Settings folder = ReadSettings(text::JoinPath(dir.text(), "folder.txt"));
  EXPECT_EQ(folder.workshopFolder, "");
  EXPECT_EQ(folder.pagePrefix, "");

  const Settings missing = ReadSettings(text::JoinPath(dir.text(), "none.txt"));
  EXPECT_EQ(missing.workshopFolder, "");
}

}  // namespace
}  // namespace quorvane::app
