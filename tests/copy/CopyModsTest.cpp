#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "FakeModList.h"
#include "FakeWindow.h"
#include "TempDir.h"
#include "copy/CopyMods.h"
#include "text/Encoding.h"
#include "text/Text.h"

namespace quorvane::copy {
namespace {

namespace fs = std::filesystem;
using testing::FakeModList;
using testing::FakeWindow;
using testing::TempDir;
using text::Gbk;
using text::JoinPath;
using text::Text;
using window::Control;

const Text kDone = Gbk("\r\n\r\n复制完成");

class CopyModsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root.MakeDir("ws");
    root.MakeDir("dest");
    window.texts[Control::WorkshopFolderBox] = workshop;
  }

  // Check-marks the row of serial (rows are added up to it) and gives it the id.
  void CheckMod(int serial, const Text& id) {
    while (list.RowCount() < serial) list.AddRow({Text(std::to_string(list.RowCount() + 1)), "none"});
    list.SetCellText(serial - 1, 1, id);
    list.SetCheck(serial - 1, 1);
  }

  void Copy(const Text& destination) {
    window.AnswerPickFolder(destination);
    CopyCheckedMods(list, window);
  }

  // Every path below the destination, folders with a trailing "/".
  std::set<std::string> DestinationTree() const {
    std::set<std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root.path() / "dest")) {
      const std::string relative = fs::relative(entry.path(), root.path() / "dest").generic_string();
      tree.insert(entry.is_directory() ? relative + "/" : relative);
    }
    return tree;
  }

  std::vector<Text> ProgressLinesAfter(const Text& prefix) const {
    std::vector<Text> lines;
    for (const Text& line : window.progressLines) {
      if (line.starts_with(prefix)) lines.push_back(line.substr(prefix.size()));
    }
    return lines;
  }

  TempDir root;
  const Text workshop = JoinPath(root.text(), "ws");
  const Text destination = JoinPath(root.text(), "dest");
  FakeWindow window;
  FakeModList list;
};

TEST_F(CopyModsTest, CopiesTheCheckedModsWholeAfterTheQuestion) {
  root.WriteFile("ws/111/a.txt", "alpha");
  root.WriteFile("ws/111/.hidden", "h");
  root.WriteFile("ws/111/sub/deep.txt", "deep");
  root.WriteFile("ws/111/read-only.txt", "ro");
  fs::permissions(root.path() / "ws/111/read-only.txt", fs::perms::owner_read);
  root.WriteFile("ws/222/x.bin", std::string("\0\1\2", 3));
  root.WriteFile("ws/333/unchecked.txt", "no");
  CheckMod(4, "111");
  CheckMod(9, "222");
  list.AddRow({"10", "333"});

  Copy(destination);

  EXPECT_EQ(window.folderPickerTitles, std::vector<Text>{Gbk("选择要复制到的文件夹")});
  EXPECT_EQ(window.questions, std::vector<Text>{Gbk("已选择2个MOD，复制到") + destination +
                                                Gbk("下，将覆盖原有文件，是否继续？")});
  EXPECT_EQ(window.logEntries,
            (std::vector<Text>{Gbk("\r\n\r\n当前共选择MOD个数：2"), Gbk("\r\n序号分别是：4，9"), kDone}));
  EXPECT_EQ(DestinationTree(),
            (std::set<std::string>{"111/", "111/a.txt", "111/.hidden", "111/sub/", "111/sub/deep.txt",
                                   "111/read-only.txt", "222/", "222/x.bin"}));
  EXPECT_EQ(root.ReadFile("dest/111/sub/deep.txt"), "deep");
  EXPECT_EQ(root.ReadFile("dest/111/read-only.txt"), "ro");
  EXPECT_EQ(root.ReadFile("dest/222/x.bin"), std::string("\0\1\2", 3));
  // The box shows the copy's progress even though the progress check box is clear.
  EXPECT_EQ(window.progressBoxVisibleAt, std::vector<bool>(window.progressLines.size(), true));
  EXPECT_EQ(window.progressLines.back(), Gbk("复制完成"));
  EXPECT_EQ(window.pumps, std::vector<int>{1000});
  EXPECT_FALSE(window.visible[Control::ProgressBox]);
  EXPECT_EQ(list.CheckedRows(), (std::vector<int>{3, 8}));
}

TEST_F(CopyModsTest, CreatesTheFoldersBreadthFirstEmptyOnesToo) {
  root.WriteFile("ws/111/a/b/c/file.txt", "in c");
  root.MakeDir("ws/111/x/y");
  CheckMod(1, "111");

  Copy(destination);

  const std::vector<Text> created = ProgressLinesAfter(Gbk("正在创建文件夹："));
  ASSERT_EQ(created.size(), 6u);
  EXPECT_EQ(created[0], "111");
  EXPECT_EQ(std::set<Text>(created.begin() + 1, created.begin() + 3), (std::set<Text>{"111/a", "111/x"}));
  EXPECT_EQ(std::set<Text>(created.begin() + 3, created.begin() + 5), (std::set<Text>{"111/a/b", "111/x/y"}));
  EXPECT_EQ(created[5], "111/a/b/c");
  EXPECT_EQ(ProgressLinesAfter(Gbk("正在复制文件：")), std::vector<Text>{"file.txt"});
  EXPECT_EQ(root.ReadFile("dest/111/a/b/c/file.txt"), "in c");
  EXPECT_TRUE(fs::is_directory(root.path() / "dest/111/x/y"));
}

// A drive root comes back from the picker with its separator. Folders are created at the destination, a
// separator and the relative path (a doubled separator, which file systems accept); file paths take the
// destination with exactly one separator at its end. The failure report shows both.
TEST_F(CopyModsTest, ADestinationEndingInASeparatorGetsNoSecondOneInFilePaths) {
  root.WriteFile("ws/111/top.txt", "t");
  root.WriteFile("ws/111/sub/f.txt", "f");
  root.WriteFile("dest/111/sub", "a file where the folder goes");
  CheckMod(1, "111");

  Copy(destination + "/");

  EXPECT_EQ(window.questions.at(0),
            Gbk("已选择1个MOD，复制到") + destination + Gbk("/下，将覆盖原有文件，是否继续？"));
  EXPECT_EQ(root.ReadFile("dest/111/top.txt"), "t");
  EXPECT_EQ(window.logEntries.back(), kDone + Gbk("\r\n复制失败2项：\r\n无法创建文件夹：") + destination +
                                          "//111/sub" + Gbk("\r\n无法复制文件：") + destination +
                                          "/111/sub/f.txt");
}

// The relative path is what lies below the Workshop folder; a folder path that repeats the Workshop
// folder's own path keeps it.
TEST_F(CopyModsTest, AFolderNameRepeatingTheWorkshopPathIsKept) {
  const std::string repeated = "111/" + fs::path(workshop).relative_path().generic_string() + "/z";
  root.WriteFile("ws/" + repeated + "/f.txt", "deep");
  CheckMod(1, "111");

  Copy(destination);

  EXPECT_EQ(root.ReadFile("dest/" + repeated + "/f.txt"), "deep");
  EXPECT_EQ(window.logEntries.back(), kDone);
}

TEST_F(CopyModsTest, ALinkBackUpTheTreeIsNotWalkedAgain) {
  root.WriteFile("ws/111/a/b/f.txt", "f");
  fs::create_directory_symlink(root.path() / "ws/111/a", root.path() / "ws/111/a/b/loop");
  CheckMod(1, "111");

  Copy(destination);

  EXPECT_EQ(DestinationTree(), (std::set<std::string>{"111/", "111/a/", "111/a/b/", "111/a/b/f.txt"}));
  EXPECT_EQ(window.logEntries.back(), kDone);
}

TEST_F(CopyModsTest, OverwritesFilesOfTheSameNameAndLeavesOthersAlone) {
  root.WriteFile("ws/111/same.txt", "new");
  root.WriteFile("dest/111/same.txt", "old and longer");
  root.WriteFile("dest/111/only-here.txt", "mine");
  CheckMod(1, "111");

  Copy(destination);

  EXPECT_EQ(root.ReadFile("dest/111/same.txt"), "new");
  EXPECT_EQ(root.ReadFile("dest/111/only-here.txt"), "mine");
  EXPECT_EQ(DestinationTree(), (std::set<std::string>{"111/", "111/same.txt", "111/only-here.txt"}));
}

TEST_F(CopyModsTest, WithoutCheckMarksAsksAndEndsAtOnce) {
  list.AddRow({"1", "111"});
  root.WriteFile("ws/111/a.txt", "a");
  window.SetTicked(Control::ProgressCheck, true);

  Copy(destination);

  EXPECT_EQ(window.questions, std::vector<Text>{Gbk("已选择0个MOD，复制到") + destination +
                                                Gbk("下，将覆盖原有文件，是否继续？")});
  EXPECT_EQ(window.logEntries,
            (std::vector<Text>{Gbk("\r\n\r\n当前共选择MOD个数：0"), Gbk("\r\n序号分别是："), kDone}));
  EXPECT_EQ(window.progressLines, std::vector<Text>{Gbk("复制完成")});
  EXPECT_EQ(window.progressBoxVisibleAt, std::vector<bool>{false});
  EXPECT_EQ(window.pumps, std::vector<int>{1000});
  EXPECT_TRUE(DestinationTree().empty());
}

TEST_F(CopyModsTest, CancelInThePickerOrAtTheQuestionCopiesNothing) {
  root.WriteFile("ws/111/a.txt", "a");
  CheckMod(1, "111");

  Copy("");
  EXPECT_EQ(window.messages, std::vector<Text>{Gbk("未选择要复制到的文件夹，按确定键返回。")});
  EXPECT_TRUE(window.logEntries.empty());
  EXPECT_TRUE(window.questions.empty());

  window.AnswerConfirm(false);
  Copy(destination);
  EXPECT_EQ(window.questions.size(), 1u);
  EXPECT_EQ(window.logEntries,
            (std::vector<Text>{Gbk("\r\n\r\n当前共选择MOD个数：1"), Gbk("\r\n序号分别是：1")}));
  EXPECT_TRUE(DestinationTree().empty());
  EXPECT_TRUE(window.progressLines.empty());
}

TEST_F(CopyModsTest, AVanishedModFolderArrivesEmpty) {
  CheckMod(1, "111");

  Copy(destination);

  EXPECT_EQ(DestinationTree(), std::set<std::string>{"111/"});
  EXPECT_TRUE(ProgressLinesAfter(Gbk("正在复制文件：")).empty());
  EXPECT_EQ(window.logEntries.back(), kDone);
}

TEST_F(CopyModsTest, FailuresAreCountedTheFirstNamedAndTheRestCopied) {
  root.WriteFile("ws/111/good.txt", "good");
  for (char n = '1'; n <= '6'; ++n) {
    root.WriteFile(std::string("ws/111/blocked") + n, "x");
    root.MakeDir(std::string("dest/111/blocked") + n);  // a folder stands where the file would go
  }
  CheckMod(1, "111");

  Copy(destination);

  EXPECT_EQ(root.ReadFile("dest/111/good.txt"), "good");
  const Text& log = window.logEntries.back();
  const Text head = kDone + Gbk("\r\n复制失败6项：");
  ASSERT_TRUE(log.starts_with(head)) << log;
  const Text named = Gbk("\r\n无法复制文件：") + JoinPath(JoinPath(destination, "111"), "blocked");
  size_t namedCount = 0;
  for (size_t at = log.find(named); at != Text::npos; at = log.find(named, at + 1)) ++namedCount;
  EXPECT_EQ(namedCount, 5u);
  EXPECT_TRUE(log.ends_with(Gbk("\r\n……")));
  // Nothing is left over from the failed copies.
  std::set<std::string> expected{"111/", "111/good.txt"};
  for (char n = '1'; n <= '6'; ++n) expected.insert(std::string("111/blocked") + n + "/");
  EXPECT_EQ(DestinationTree(), expected);
}

// An empty id would make the walk start at the Workshop folder itself and copy every mod in it.
TEST_F(CopyModsTest, ARowWithoutAnIdIsReportedNotCopied) {
  root.WriteFile("ws/333/other.txt", "x");
  CheckMod(1, "");

  Copy(destination);

  EXPECT_TRUE(DestinationTree().empty());
  EXPECT_EQ(window.logEntries.back(), kDone + Gbk("\r\n复制失败1项：\r\n编码无效，未复制：序号1"));
}

TEST_F(CopyModsTest, RefusesADestinationThatWouldCopyOntoItself) {
  root.WriteFile("ws/111/sub/f.txt", "f");
  root.MakeDir("ws/backup");
  struct Case {
    const char* destination;
    bool refused;
  } cases[] = {
      {"ws", true},         {"ws/111", true}, {"ws/111/sub", true}, {"ws/111/sub/not-yet", true},
      {"ws/backup", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.destination);
    FakeWindow fresh;
    fresh.texts[Control::WorkshopFolderBox] = workshop;
    fresh.AnswerPickFolder(JoinPath(root.text(), c.destination));
    fresh.AnswerConfirm(false);
    CheckMod(1, "111");
    CopyCheckedMods(list, fresh);
    EXPECT_EQ(fresh.messages.size(), c.refused ? 1u : 0u);
    EXPECT_EQ(fresh.questions.size(), c.refused ? 0u : 1u);
  }
  EXPECT_EQ(root.ReadFile("ws/111/sub/f.txt"), "f");
  EXPECT_FALSE(root.Exists("ws/111/sub/not-yet"));
}

TEST_F(CopyModsTest, WaitsForARunningLongOperation) {
  CheckMod(1, "111");
  window.longOperationRunning = true;

  Copy(destination);

  EXPECT_TRUE(window.folderPickerTitles.empty());
  EXPECT_EQ(window.logEntries.size(), 1u);
  EXPECT_TRUE(DestinationTree().empty());
}

TEST_F(CopyModsTest, AStoppedCopySaysSoAndLeavesOnlyWholeFiles) {
  const std::string content(100000, 'c');
  for (char n = '1'; n <= '4'; ++n) root.WriteFile(std::string("ws/111/f") + n, content);
  CheckMod(1, "111");
  CheckMod(2, "222");
  window.SetTicked(Control::ProgressCheck, true);
  window.onPump = [this](int) {
    if (window.pumps.size() == 2) window.RequestStop();  // during the pause before the first file
  };

  Copy(destination);

  EXPECT_EQ(window.logEntries.back(), kDone + Gbk("\r\n（已中止）"));
  const std::set<std::string> tree = DestinationTree();
  EXPECT_EQ(tree.size(), 2u);  // the mod folder and the one file begun before the stop
  for (const std::string& path : tree) {
    if (!path.ends_with("/")) {
      EXPECT_EQ(root.ReadFile("dest/" + path), content) << path;
    }
  }
  EXPECT_FALSE(window.visible[Control::ProgressBox]);
}

}  // namespace
}  // namespace quorvane::copy
