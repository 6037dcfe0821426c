#include "workshop/Walk.h"

namespace quorvane::workshop {

bool OpenTableOrSay(index::Workspace& workspace) {
  workspace.OpenTable();
  if (workspace.table.IsOpen()) return true;
  workspace.window.ShowMessage(text::Gbk("无法打开索引表：") + workspace.TablePath());
  return false;
}

text::Text ItemLine(const char* leadUtf8, index::ModIndex& table, const text::Text& id) {
  return text::Gbk(leadUtf8) + index::FieldText(table.ReadField(index::kSerial)) + text::Gbk("，目录名：") +
         id;
}

void WriteFieldAndCell(index::Workspace& workspace, int record, int field, const index::Value& value) {
  workspace.list.SetCellText(record - 1, field - 1, index::FieldText(value));
  workspace.table.GoTo(record);
  workspace.table.WriteField(field, value);
}

}  // namespace quorvane::workshop
