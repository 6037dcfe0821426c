#include "window/Progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeWindow.h"

namespace quorvane::window {
namespace {

using testing::FakeWindow;
using text::Gbk;

// Runs a three-item operation; beforeItem(i) runs before item i, as a user's click between items would.
void RunThreeItems(FakeWindow& window, const std::function<void(int)>& beforeItem = {}) {
  Progress progress(window, 3);
  for (int i = 1; i <= 3; ++i) {
    if (beforeItem) beforeItem(i);
    progress.Item("item " + std::to_string(i));
    progress.Done();
  }
  progress.Finish("done", "\r\n\r\nsummary");
}

TEST(Progress, TickedAtTheStartShowsTheBoxAndPausesBeforeEachItem) {
  FakeWindow window;
  window.SetTicked(Control::ProgressCheck, true);
  std::vector<std::pair<int, bool>> barAndBoxAtPauses;
  window.onPump = [&](int) {
    barAndBoxAtPauses.emplace_back(window.progressBar.first, window.IsVisible(Control::ProgressBox));
  };
  RunThreeItems(window);

  EXPECT_EQ(window.pumps, (std::vector<int>{1, 1, 1, 1000}));
  EXPECT_EQ(window.progressLines, (std::vector<Text>{"item 1", "item 2", "item 3", "done"}));
  EXPECT_EQ(window.progressBoxVisibleAt, (std::vector<bool>{true, true, true, true}));
  // Each item's pause comes before its line; the final pause still shows the box, then it is hidden.
  EXPECT_EQ(barAndBoxAtPauses,
            (std::vector<std::pair<int, bool>>{{0, true}, {1, true}, {2, true}, {3, true}}));
  EXPECT_EQ(window.logEntries, (std::vector<Text>{"\r\n\r\nsummary"}));
  EXPECT_FALSE(window.IsVisible(Control::ProgressBox));
  EXPECT_EQ(window.clockMs, 1003);
}

TEST(Progress, UntickedRunsWithoutBoxOrItemPausesButKeepsTheFinalPause) {
  FakeWindow window;
  RunThreeItems(window);
  EXPECT_EQ(window.pumps, (std::vector<int>{1000}));
  EXPECT_EQ(window.progressLines, (std::vector<Text>{"item 1", "item 2", "item 3", "done"}));
  EXPECT_EQ(window.progressBoxVisibleAt, (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(window.Log(), "\r\n\r\nsummary");
  EXPECT_FALSE(window.IsVisible(Control::ProgressBox));
}

TEST(Progress, TheTickIsReadAnewBeforeEachItemButOnlyTheStartShowsTheBox) {
  const struct {
    const char* name;
    bool tickedAtStart;
    int toggledBeforeItem;
    std::vector<int> pumps;
    bool boxShownDuringRun;
  } cases[] = {
      {"ticked in mid-run", false, 2, {1, 1, 1000}, false},
      {"unticked in mid-run", true, 3, {1, 1, 1000}, true},
  };
  for (const auto& c : cases) {
    FakeWindow window;
    window.SetTicked(Control::ProgressCheck, c.tickedAtStart);
    RunThreeItems(window, [&](int item) {
      if (item == c.toggledBeforeItem) window.SetTicked(Control::ProgressCheck, !c.tickedAtStart);
    });
    EXPECT_EQ(window.pumps, c.pumps) << c.name;
    EXPECT_EQ(window.progressBoxVisibleAt.front(), c.boxShownDuringRun) << c.name;
    EXPECT_FALSE(window.IsVisible(Control::ProgressBox)) << c.name;
  }
}

TEST(Progress, TheBarCountsItemsDoneAndIsClearedAtTheEnd) {
  FakeWindow window;
  Progress progress(window, 5);
  EXPECT_EQ(window.progressBar, (std::pair<int, int>{0, 5}));
  progress.Pause();
  progress.Done();
  progress.Done();
  EXPECT_EQ(window.progressBar, (std::pair<int, int>{2, 5}));
  progress.SetTotal(8);
  EXPECT_EQ(window.progressBar, (std::pair<int, int>{2, 8}));
  EXPECT_EQ(progress.done(), 2);
  EXPECT_TRUE(window.pumps.empty());  // an unticked pause lets no events in
  progress.Finish("f", "s");
  EXPECT_EQ(window.progressBar, (std::pair<int, int>{0, 0}));
}

TEST(Progress, AStoppedRunSaysSoInItsSummary) {
  FakeWindow window;
  ASSERT_TRUE(window.BeginLongOperation());
  Progress progress(window, 3);
  EXPECT_FALSE(progress.StopRequested());
  window.RequestStop();
  EXPECT_TRUE(progress.StopRequested());
  progress.Finish("f", Gbk("\r\n\r\n索引完成"));
  EXPECT_EQ(window.Log(), Gbk("\r\n\r\n索引完成\r\n（已中止）"));
  EXPECT_EQ(window.pumps, (std::vector<int>{1000}));
}

TEST(LongOperation, ASecondOneIsRefusedWithALogLineAndTheFirstKeepsRunning) {
  FakeWindow window;
  {
    LongOperation first(window);
    ASSERT_TRUE(first);
    {
      LongOperation second(window);
      EXPECT_FALSE(second);
      EXPECT_EQ(window.logEntries,
                (std::vector<Text>{Gbk("\r\n\r\n另一个操作正在进行，请等它完成或按Esc停止后再试。")}));
    }
    EXPECT_TRUE(window.longOperationRunning);  // the refused one did not end the running one
  }
  EXPECT_FALSE(window.longOperationRunning);
  LongOperation later(window);
  EXPECT_TRUE(later);
  EXPECT_EQ(window.logEntries.size(), 1u);
}

}  // namespace
}  // namespace quorvane::window
