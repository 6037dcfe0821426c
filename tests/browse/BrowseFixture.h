// A program folder with a real index table, a Workshop folder, and the list mirroring the table.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FakeModList.h"
#include "FakeWindow.h"
#include "TempDir.h"
#include "index/Workspace.h"

namespace quorvane::testing {

class BrowseFixture : public ::testing::Test {
 protected:
  using Pieces = std::vector<Text>;  // description fields 7, 8, ... in order; missing ones stay empty

  BrowseFixture() { window.texts[window::Control::WorkshopFolderBox] = WorkshopFolder(); }

  Text WorkshopFolder() const { return text::JoinPath(dir.text(), "ws"); }
  static Text IdOf(int record) { return std::to_string(100 + record); }

  // Records 1..n with ids 100 + r and the description pieces given for each, mirrored in the list; the
  // table is closed afterwards, as start-up leaves it.
  void MakeMods(int n, const std::function<Pieces(int record)>& descriptionOf = {}) {
    std::string error;
    ASSERT_TRUE(index::CreateEmptyIndexFile(text::ToNativePath(workspace.TablePath()).string(), &error))
        << error;
    ASSERT_EQ(table.Open(workspace.TablePath()), index::OpenResult::kOpened);
    for (int r = 1; r <= n; ++r) {
      ASSERT_TRUE(table.AddRecord(r, IdOf(r)));
      const Pieces pieces = descriptionOf ? descriptionOf(r) : Pieces{"description " + std::to_string(r)};
      for (size_t i = 0; i < pieces.size(); ++i) {
        ASSERT_TRUE(table.WriteField(index::kFirstDescription + static_cast<int>(i), pieces[i]));
      }
      list.AddRow({std::to_string(r), IdOf(r)});
    }
    table.CloseAll();
  }

  void WritePreview(int record, const std::string& bytes) const {
    dir.WriteFile("ws/" + IdOf(record) + "/" + IdOf(record) + ".jpg", bytes);
  }

  Text Caption() const { return window.GetText(window::Control::PreviewGroup); }
  Text DescriptionText() const { return window.GetText(window::Control::DescriptionBox); }
  bool NoPreviewLabelShown() const { return window.IsVisible(window::Control::NoPreviewLabel); }
  Text LastClipboard() const {
    return window.clipboardWrites.empty() ? "<none>" : window.clipboardWrites.back();
  }

  TempDir dir;
  FakeWindow window;
  FakeModList list{22};
  index::ModIndex table;
  index::Workspace workspace{table, list, window, dir.text()};
};

}  // namespace quorvane::testing
