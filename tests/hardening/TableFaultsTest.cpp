// The index table under faults: damaged or replaced files, a program folder that goes away mid-run, and
// two instances of the program on one table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>

#include "HardeningFixture.h"
#include "index/IndexBuilding.h"
#include "workshop/ModInfo.h"
#include "workshop/PageDownload.h"
#include "workshop/PreviewAddress.h"
#include "workshop/PreviewDownload.h"

namespace quorvane::hardening {
namespace {

namespace fs = std::filesystem;
using index::OpenResult;

void Sql(const fs::path& file, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  sqlite3_close(db);
}

// Writes a file beside the table and renames it over the table, as another program saving it would.
void ReplaceFile(const fs::path& file, const std::string& bytes) {
  const fs::path fresh = file.string() + ".new";
  std::ofstream(fresh, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  fs::rename(fresh, file);
}

std::string RandomBytes(size_t size) {
  std::mt19937 random(11);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

using Operation = void (*)(index::Workspace&);
void DownloadPagesStep(index::Workspace& w) {
  workshop::DownloadPages(w);
}
void DownloadPreviewsStep(index::Workspace& w) {
  workshop::DownloadPreviews(w);
}

const std::vector<std::pair<const char*, Operation>> kTableOperations = {
    {"BuildNewIndex", index::BuildNewIndex},
    {"AppendIndex", index::AppendIndex},
    {"DownloadPages", DownloadPagesStep},
    {"ExtractModInfo", workshop::ExtractModInfo},
    {"ExtractPreviewAddresses", workshop::ExtractPreviewAddresses},
    {"DownloadPreviews", DownloadPreviewsStep},
};

class TableFaultsTest : public HardeningTest {};

// A table left open (as the details pane leaves it) and then replaced by random bytes or by a database of
// another program: every operation refuses with its message and the file that is there now is untouched.
TEST_F(TableFaultsTest, ATableReplacedMidSessionIsRefusedByEveryOperationAndLeftUntouched) {
  AddMods({"100", "101"});
  TempDir elsewhere;
  const fs::path foreign = elsewhere.path() / "foreign.edb";
  Sql(foreign, "CREATE TABLE notes(body TEXT); INSERT INTO notes VALUES('keep me');");
  const std::map<std::string, std::string> replacements = {
      {"random bytes", RandomBytes(20'000)}, {"another program's database", FileBytes(foreign)}};
  for (const auto& [what, bytes] : replacements) {
    for (const auto& [name, operation] : kTableOperations) {
      SCOPED_TRACE(what + ", " + name);
      fs::remove(TablePath());
      ASSERT_TRUE(index::CreateEmptyIndexFile(TablePath().string()));
      ASSERT_EQ(table.Open(workspace.TablePath()), OpenResult::kOpened);
      ASSERT_TRUE(table.AddRecord(1, "100"));
      ReplaceFile(TablePath(), bytes);
      window.messages.clear();
      const auto rowsBefore = list.RowCount();

      operation(workspace);

      EXPECT_THAT(window.messages, ::testing::SizeIs(1));
      EXPECT_TRUE(FileBytes(TablePath()) == bytes);
      EXPECT_EQ(list.RowCount(), rowsBefore);
      EXPECT_FALSE(table.IsOpen());
      table.CloseAll();
    }
  }
}

// Records not numbered 1..n (a damaged file, or one edited by hand) would send every walk through the
// missing numbers up to the last one: the file is refused at once instead, untouched.
TEST_F(TableFaultsTest, ATableWhoseRecordsAreNotNumberedOneToNIsRefused) {
  AddMods({"100"});
  Sql(TablePath(),
      "PRAGMA journal_mode=DELETE; INSERT INTO mods(rowid, \"序号\", \"编码\") VALUES (2000000000, 2, "
      "x'313031')");
  const std::string before = FileBytes(TablePath());

  ModIndex reader;
  EXPECT_EQ(reader.Open(workspace.TablePath()), OpenResult::kNotAnIndex);
  EXPECT_THAT(reader.LastError(), ::testing::HasSubstr("numbered"));
  workshop::ExtractModInfo(workspace);

  EXPECT_THAT(window.messages, ::testing::ElementsAre(Gbk("无法打开索引表：") + workspace.TablePath()));
  EXPECT_TRUE(window.logEntries.empty());
  EXPECT_TRUE(FileBytes(TablePath()) == before);
}

// The program folder removed while a step runs: the step ends with its summary, and neither the table nor
// the folder comes back.
TEST_F(TableFaultsTest, AProgramFolderRemovedMidRunEndsTheRunWithItsSummaryAndRecreatesNothing) {
  std::vector<Text> ids;
  for (int i = 0; i < 6; ++i) ids.push_back(std::to_string(700 + i));
  AddMods(ids);
  for (const Text& id : ids) {
    workshop.WriteFile(id + "/" + id + ".info.txt",
                       WorkshopPage("Name " + id, "Ann", "Words", "http://127.0.0.1:9/"));
  }
  window.SetTicked(Control::ProgressCheck, true);
  int pauses = 0;
  window.onPump = [&](int) {
    if (++pauses == 3) fs::remove_all(program.path());
  };

  workshop::ExtractModInfo(workspace);

  EXPECT_THAT(window.logEntries, ::testing::ElementsAre(Gbk("\r\n\r\n获取MOD信息完成，共获取文档信息6个")));
  EXPECT_FALSE(fs::exists(program.path()));
  for (const Text& id : ids) {
    EXPECT_THAT(EntriesIn(workshop.path() / id), ::testing::ElementsAre(id + ".info.txt"));
  }
  // The rows show what was cut, as far as the run got.
  EXPECT_EQ(list.CellText(0, index::kAuthor - 1), "Ann");
}

// Another index renamed over the table mid-run takes none of the run's writes.
TEST_F(TableFaultsTest, AnotherIndexRenamedOverTheTableMidRunTakesNoneOfItsWrites) {
  std::vector<Text> ids = {"800", "801", "802", "803"};
  AddMods(ids);
  for (const Text& id : ids) {
    workshop.WriteFile(id + "/" + id + ".info.txt",
                       WorkshopPage("Name " + id, "Ann", "Words", "http://127.0.0.1:9/"));
  }
  TempDir elsewhere;
  const fs::path other = elsewhere.path() / "other.edb";
  ASSERT_TRUE(index::CreateEmptyIndexFile(other.string()));
  {
    ModIndex writer;
    ASSERT_EQ(writer.Open(text::FromNativePath(other)), OpenResult::kOpened);
    for (const Text& id : ids) writer.AddRecord(writer.RecordCount() + 1, id);
  }
  const std::string otherBytes = FileBytes(other);
  window.SetTicked(Control::ProgressCheck, true);
  int pauses = 0;
  window.onPump = [&](int) {
    if (++pauses == 2) ReplaceFile(TablePath(), otherBytes);
  };

  workshop::ExtractModInfo(workspace);

  EXPECT_TRUE(FileBytes(TablePath()) == otherBytes);
  EXPECT_EQ(IntegrityCheck(TablePath()), "ok");
  EXPECT_EQ(Field(4, index::kAuthor), "");
}

// Two instances of the program appending to one table at the same moment, each in its own process.
TEST_F(TableFaultsTest, TwoInstancesIndexingAtOnceKeepTheTableSoundAndNumbered) {
  for (int i = 0; i < 300; ++i) workshop.MakeDir(std::to_string(10'000 + i));
  auto appendAll = [&] {
    ModIndex own;
    FakeModList ownList;
    FakeWindow ownWindow;
    ownWindow.SetText(Control::WorkshopFolderBox, workshop.text());
    index::Workspace instance{own, ownList, ownWindow, program.text()};
    index::AppendIndex(instance);
    return ownWindow.logEntries;
  };
  const pid_t other = fork();
  if (other == 0) {
    appendAll();
    _exit(0);
  }
  const auto log = appendAll();
  int status = 0;
  waitpid(other, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  EXPECT_EQ(IntegrityCheck(TablePath()), "ok");
  const auto records = AllFields(workspace.TablePath());
  std::set<Text> ids;
  for (size_t r = 0; r < records.size(); ++r) {
    EXPECT_EQ(records[r][0], std::to_string(r + 1)) << "record " << r + 1;
    EXPECT_TRUE(ids.insert(records[r][1]).second) << "twice: " << records[r][1];
  }
  EXPECT_EQ(ids.size(), 300u) << (log.empty() ? "" : log.back());
}

}  // namespace
}  // namespace quorvane::hardening
