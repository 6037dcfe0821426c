// A program folder with a real index table, a Workshop folder, and the window and list doubles.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeModList.h"
#include "FakeWindow.h"
#include "TempDir.h"
#include "index/Workspace.h"
#include "text/Encoding.h"

namespace quorvane::workshop {

using index::ModIndex;
using testing::FakeModList;
using testing::FakeWindow;
using testing::TempDir;
using text::Gbk;
using text::Text;
using window::Control;

struct Mod {
  Text id;
  bool invalid = false;
  Text name = {};
  Text author = {};
  Text preview = {};
  Text description1 = {};
};

class WorkshopTest : public ::testing::Test {
 protected:
  WorkshopTest() {
    EXPECT_TRUE(index::CreateEmptyIndexFile(text::ToNativePath(workspace.TablePath()).string()));
    window.SetText(Control::WorkshopFolderBox, workshop.text());
  }

  // Records 1.. with these fields, the rows showing them, and a folder for each.
  void AddMods(const std::vector<Mod>& mods) {
    ModIndex writer;
    ASSERT_EQ(writer.Open(workspace.TablePath()), index::OpenResult::kOpened);
    for (const Mod& mod : mods) {
      const int serial = writer.RecordCount() + 1;
      ASSERT_TRUE(writer.AddRecord(serial, mod.id));
      writer.WriteField(index::kName, mod.name);
      writer.WriteField(index::kAuthor, mod.author);
      writer.WriteField(index::kPreviewUrl, mod.preview);
      writer.WriteField(index::kInvalid, mod.invalid);
      writer.WriteField(index::kFirstDescription, mod.description1);
      list.AddRow({std::to_string(serial), mod.id, mod.name, mod.author, mod.preview,
                   mod.invalid ? Gbk("真") : Gbk("假"), mod.description1});
      workshop.MakeDir(mod.id);
    }
    writer.CloseAll();
  }

  // Field k of record r as it landed in the file, through a table of its own.
  Text Field(int r, int k) const {
    ModIndex reader;
    EXPECT_EQ(reader.Open(workspace.TablePath()), index::OpenResult::kOpened);
    reader.GoTo(r);
    return index::FieldText(reader.ReadField(k));
  }

  static std::string PageOf(const Text& id) { return id + "/" + id + ".info.txt"; }
  static std::string PreviewOf(const Text& id) { return id + "/" + id + ".jpg"; }

  // Every entry left in a mod's folder (no temporary file may stay behind).
  std::vector<std::string> FilesIn(const Text& id) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(workshop.path() / id)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir program;
  TempDir workshop;
  ModIndex table;
  FakeModList list;
  FakeWindow window;
  index::Workspace workspace{table, list, window, program.text()};
};

}  // namespace quorvane::workshop
