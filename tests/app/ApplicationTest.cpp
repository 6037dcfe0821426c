#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "RecordingDialogs.h"
#include "TempDir.h"
#include "app/Application.h"
#include "app/ModListView.h"
#include "text/Encoding.h"

namespace quorvane::app {
namespace {

using text::Gbk;

class ApplicationTest : public ::testing::Test {
 protected:
  void MakeTable(int records) {
    ASSERT_TRUE(index::CreateEmptyIndexFile(dir.path().string() + "/CSLmod.edb"));
    index::ModIndex writer;
    ASSERT_EQ(writer.Open(text::JoinPath(dir.text(), "CSLmod.edb")), index::OpenResult::kOpened);
    for (int serial = 1; serial <= records; ++serial) {
      ASSERT_TRUE(writer.AddRecord(serial, std::to_string(500 + serial)));
      writer.WriteField(index::kName, Gbk("模组") + std::to_string(serial));
    }
  }

  testing::TempDir dir;
  testing::RecordingDialogs dialogs;
  int ends = 0;
};

TEST_F(ApplicationTest, StartUpFillsTheRealWindowOnceTheEventLoopHasIt) {
  MakeTable(3);
  dir.WriteFile("CSLinfo.txt", "/games/255710\r\nhttp://p/?id=");
  Application application(dialogs, dir.text(), [this] { ++ends; });
  application.Launch();
  // Start-up waits for the created window and the event loop.
  EXPECT_EQ(application.Window().List().RowCount(), 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return application.Window().List().model()->rowCount() == 3; }));
  MainWindow& window = application.Window();
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("编辑框_创意工坊位置"))->text(),
            QStringLiteral("/games/255710"));
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("编辑框_创意工坊页面"))->text(),
            QStringLiteral("http://p/?id="));
  EXPECT_FALSE(window.IsVisible(window::Control::NoPreviewLabel));
  const QAbstractItemModel& model = *window.List().model();
  EXPECT_EQ(model.data(model.index(2, 0)).toString(), QStringLiteral("3"));
  EXPECT_EQ(model.data(model.index(2, 2)).toString(), QStringLiteral("模组3"));
  EXPECT_EQ(model.data(model.index(2, 5)).toString(), QStringLiteral("假"));
  EXPECT_TRUE(dialogs.asked.isEmpty());
  EXPECT_EQ(ends, 0);
}

TEST_F(ApplicationTest, AMissingFileIsReportedInABoxTitledInformation) {
  Application application(dialogs, dir.text(), [this] { ++ends; });
  EXPECT_FALSE(application.StartUpNow());
  EXPECT_EQ(dialogs.asked, QStringList{QStringLiteral("信息：|CSLmod.edb文件不存在，现在将退出！")});
  EXPECT_EQ(ends, 1);
}

}  // namespace
}  // namespace quorvane::app
