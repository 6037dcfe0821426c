#include "browse/CheckMarks.h"

namespace quorvane::browse {

void CheckSelectedRows(window::ModList& list, window::Window& window) {
  const std::vector<int> selected = list.SelectedRows();
  for (int row : selected) list.SetCheck(row, 1);

  std::vector<text::Text> serials;
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.Check(row) == 1) serials.push_back(list.CellText(row, 0));
  }
  window.AppendLog(text::Gbk("\r\n\r\n本次选择MOD个数：") +
                   text::Decimal(static_cast<long long>(selected.size())));
  window.AppendLog(text::Gbk("\r\n当前共选择MOD个数：") +
                   text::Decimal(static_cast<long long>(serials.size())));
  window.AppendLog(text::Gbk("\r\n序号分别是：") + text::JoinWithComma(serials));
  window.GiveFocus(window::Control::ModListView);
}

void CheckAllRows(window::ModList& list, window::Window& window) {
  for (int row = 0; row < list.RowCount(); ++row) list.SetCheck(row, 1);
  window.AppendLog(text::Gbk("\r\n\r\n已选择MOD个数：") + text::Decimal(list.RowCount()));
}

void UncheckAllRows(window::ModList& list, window::Window& window) {
  for (int row = 0; row < list.RowCount(); ++row) list.SetCheck(row, 0);
  window.AppendLog(text::Gbk("\r\n\r\n已选择MOD个数：0"));
}

}  // namespace quorvane::browse
