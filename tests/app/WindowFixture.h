// A real main window, shown offscreen, whose events go to routes that record them.
#pragma once

#include <gtest/gtest.h>

#include <QTest>

#include <ostream>
#include <string>
#include <vector>

#include "RecordingDialogs.h"
#include "app/MainWindow.h"
#include "app/ModListView.h"
#include "index/ModIndex.h"

namespace quorvane::testing {

struct RaisedEvent {
  std::string control;
  app::Event event;
  int key;
  int currentRow;  // the list's current row when the handler ran
  bool operator==(const RaisedEvent&) const = default;
  friend void PrintTo(const RaisedEvent& e, std::ostream* out) {
    *out << e.control << "/" << static_cast<int>(e.event) << "/" << e.key << "/" << e.currentRow;
  }
};

class WindowFixture : public ::testing::Test {
 protected:
  WindowFixture() : window(dialogs, RecordingRoutes()) {
    window.AttachWorkspace(&workspace);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  std::vector<app::Route> RecordingRoutes() {
    std::vector<app::Route> routes;
    for (const char* control : kControlsWithEvents) {
      for (app::Event event : {app::Event::kClicked, app::Event::kKeyDown, app::Event::kLeftButtonReleased,
                               app::Event::kDoubleClicked, app::Event::kFocusedRowChanged}) {
        routes.push_back({control, event, [this, control, event](index::Workspace& w, int key) {
                            raised.push_back({control, event, key, w.list.CurrentRow()});
                          }});
      }
    }
    return routes;
  }

  template <typename W = QWidget>
  W* Find(const char* name) {
    return window.findChild<W*>(QString::fromUtf8(name));
  }

  app::ModListView& list() { return window.List(); }

  void Fill(int rows) {
    for (int row = 0; row < rows; ++row) {
      const int added = list().InsertRow(std::to_string(row + 1));
      list().SetCellText(added, 1, std::to_string(1000 + row));
    }
    list().Flush();
  }

  QPoint RowCentre(int row, int column = 2) {
    return list().visualRect(list().model()->index(row, column)).center();
  }
  void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(list().viewport(), Qt::LeftButton, modifiers, RowCentre(row));
  }

  static constexpr const char* kControlsWithEvents[] = {"按钮_浏览创意工坊位置",
                                                        "按钮_新建索引",
                                                        "按钮_追加索引",
                                                        "按钮_下载网页源码",
                                                        "按钮_导入说明",
                                                        "按钮_获取预览图信息",
                                                        "按钮_下载预览图",
                                                        "按钮_全部选择",
                                                        "按钮_选择",
                                                        "按钮_取消选择",
                                                        "按钮_文本输入查找",
                                                        "按钮_选中作者查作品",
                                                        "按钮_复制",
                                                        "按钮_跳转",
                                                        "编辑框_查找条件",
                                                        "编辑框_跳转",
                                                        "图片框_预览图",
                                                        "超级链接框_无预览图",
                                                        "超级列表框1"};

  RecordingDialogs dialogs;
  index::ModIndex table;
  app::MainWindow window;
  index::Workspace workspace{table, window.List(), window, {}};
  std::vector<RaisedEvent> raised;
};

}  // namespace quorvane::testing
