// A program folder with a real index table and a Workshop folder of mods, with pages in the Workshop page
// layout the extraction reads, for the fault and hostile-input tests.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FakeModList.h"
#include "FakeWindow.h"
#include "TempDir.h"
#include "index/ModIndex.h"
#include "index/Workspace.h"
#include "text/Encoding.h"

namespace quorvane::hardening {

using index::ModIndex;
using testing::FakeModList;
using testing::FakeWindow;
using testing::TempDir;
using text::Gbk;
using text::Text;
using window::Control;

// A page as the Workshop serves it: title, preview link, author block and description block on the lines
// where the extraction looks for them. padding makes the page as long as real ones are.
inline std::string WorkshopPage(const std::string& name, const std::string& author,
                                const std::string& description, const std::string& previewBase,
                                size_t padding = 0) {
  std::string page = "<!DOCTYPE html>\n<html>\n<head>\n";
  page += "<title>Steam Workshop :: " + name + "</title>\n";
  page += "<link rel=\"image_src\" href=\"" + previewBase + "\"><!-- preview -->  \n";
  page += "<!-- " + std::string(padding, 'p') + " -->\n</head>\n<body>\n";
  if (!author.empty()) {
    page += "\t<div class=\"linkAuthor\"><a href=\"http://127.0.0.1/id/a/?appid=255710\">" + author +
            "</a></div>      \n";
  }
  page +=
      "<div class=\"detailBox altFooter\">\n<div class=\"workshopItemDescriptionTitle\">Description</div>\n";
  page += "<div class=\"workshopItemDescription\" id=\"highlightContent\">" + description + "</div>\n";
  return page + "</body>\n</html>\n";
}

inline std::string FileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// "ok" for a sound SQLite file, SQLite's findings otherwise.
inline std::string IntegrityCheck(const std::filesystem::path& file) {
  sqlite3* db = nullptr;
  std::string result;
  if (sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr);
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
      const auto* line = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
      result += std::string(result.empty() ? "" : "\n") + (line ? line : "");
    }
    sqlite3_finalize(statement);
  }
  if (result.empty()) result = db ? sqlite3_errmsg(db) : "cannot open";
  sqlite3_close(db);
  return result;
}

// Every field of every record, as text, read through a table of its own.
inline std::vector<std::vector<Text>> AllFields(const Text& tablePath) {
  ModIndex reader;
  std::vector<std::vector<Text>> records;
  if (reader.Open(tablePath) != index::OpenResult::kOpened) return records;
  for (int r = 1; r <= reader.RecordCount(); ++r) {
    reader.GoTo(r);
    std::vector<Text> fields;
    for (int k = 1; k <= index::kFieldCount; ++k) fields.push_back(index::FieldText(reader.ReadField(k)));
    records.push_back(fields);
  }
  return records;
}

// Sorted names of the entries in a folder.
inline std::vector<std::string> EntriesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The program folder, the Workshop folder, a table with one record per id, and the doubles.
class HardeningTest : public ::testing::Test {
 protected:
  HardeningTest() {
    EXPECT_TRUE(index::CreateEmptyIndexFile(TablePath().string()));
    window.SetText(Control::WorkshopFolderBox, workshop.text());
  }

  std::filesystem::path TablePath() const { return program.path() / "CSLmod.edb"; }

  void AddMods(const std::vector<Text>& ids) {
    ModIndex writer;
    ASSERT_EQ(writer.Open(workspace.TablePath()), index::OpenResult::kOpened);
    for (const Text& id : ids) {
      const int serial = writer.RecordCount() + 1;
      ASSERT_TRUE(writer.AddRecord(serial, id));
      list.AddRow({std::to_string(serial), id, "", "", "", Gbk("假")});
      std::filesystem::create_directories(text::ToNativePath(text::JoinPath(workshop.text(), id)));
    }
  }

  Text Field(int r, int k) const {
    const auto records = AllFields(workspace.TablePath());
    return r >= 1 && r <= static_cast<int>(records.size()) ? records[r - 1][k - 1] : Text("<no record>");
  }

  TempDir program;
  TempDir workshop;
  ModIndex table;
  FakeModList list;
  FakeWindow window;
  index::Workspace workspace{table, list, window, program.text()};
};

}  // namespace quorvane::hardening
