#include "app/EventTable.h"

#include "app/StartUp.h"

#include "browse/CheckMarks.h"
#include "browse/Details.h"
#include "browse/Navigation.h"
#include "browse/RowJump.h"
#include "copy/CopyMods.h"
#include "index/IndexBuilding.h"
#include "search/AuthorWorks.h"
#include "search/FieldSearch.h"
#include "workshop/ModInfo.h"
#include "workshop/PageDownload.h"
#include "workshop/PreviewAddress.h"
#include "workshop/PreviewDownload.h"

namespace quorvane::app {

const std::vector<Route>& EventRoutes() {
  using index::Workspace;
  static const std::vector<Route> routes = {
      // Each subsystem adds its routes here, one line per control event.
      {"按钮_浏览创意工坊位置", Event::kClicked, [](Workspace& w, int) { app::BrowseWorkshopFolder(w); }},
      {"超级列表框1", Event::kFocusedRowChanged, [](Workspace& w, int) { browse::ShowCurrentRowDetails(w); }},
      {"超级列表框1", Event::kDoubleClicked, [](Workspace& w, int) { browse::OpenModFolder(w); }},
      {"图片框_预览图", Event::kDoubleClicked,
       [](Workspace& w, int) { browse::GoToShownRow(w, browse::kPictureLead); }},
      {"超级链接框_无预览图", Event::kDoubleClicked,
       [](Workspace& w, int) { browse::GoToShownRow(w, browse::kNoPreviewLabelLead); }},
      {"编辑框_跳转", Event::kKeyDown, [](Workspace& w, int key) { browse::OnJumpBoxKey(w, key); }},
      {"编辑框_跳转", Event::kLeftButtonReleased,
       [](Workspace& w, int) { browse::SelectAllJumpText(w.window); }},
      {"按钮_跳转", Event::kClicked, [](Workspace& w, int) { browse::JumpToRow(w); }},
      {"按钮_全部选择", Event::kClicked, [](Workspace& w, int) { browse::CheckAllRows(w.list, w.window); }},
      {"按钮_选择", Event::kClicked, [](Workspace& w, int) { browse::CheckSelectedRows(w.list, w.window); }},
      {"按钮_取消选择", Event::kClicked, [](Workspace& w, int) { browse::UncheckAllRows(w.list, w.window); }},
      {"编辑框_查找条件", Event::kKeyDown,
       [](Workspace& w, int key) { search::OnSearchBoxKey(w.list, w.window, key); }},
      {"编辑框_查找条件", Event::kLeftButtonReleased,
       [](Workspace& w, int) { search::SelectAllSearchText(w.window); }},
      {"按钮_文本输入查找", Event::kClicked,
       [](Workspace& w, int) { search::FindByField(w.list, w.window); }},
      {"按钮_选中作者查作品", Event::kClicked,
       [](Workspace& w, int) { search::FindAuthorWorks(w.list, w.window); }},
      {"按钮_复制", Event::kClicked, [](Workspace& w, int) { copy::CopyCheckedMods(w.list, w.window); }},
      {"按钮_新建索引", Event::kClicked, [](Workspace& w, int) { index::BuildNewIndex(w); }},
      {"按钮_追加索引", Event::kClicked, [](Workspace& w, int) { index::AppendIndex(w); }},
      {"按钮_下载网页源码", Event::kClicked, [](Workspace& w, int) { workshop::DownloadPages(w); }},
      {"按钮_导入说明", Event::kClicked, [](Workspace& w, int) { workshop::ExtractModInfo(w); }},
      {"按钮_获取预览图信息", Event::kClicked,
       [](Workspace& w, int) { workshop::ExtractPreviewAddresses(w); }},
      {"按钮_下载预览图", Event::kClicked, [](Workspace& w, int) { workshop::DownloadPreviews(w); }},
  };
  return routes;
}

}  // namespace quorvane::app
