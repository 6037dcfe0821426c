#include "search/FieldSearch.h"

#include <string_view>

#include "search/FuzzyMatch.h"
#include "search/ListColumns.h"
#include "text/Text.h"

namespace quorvane::search {
namespace {

using text::Text;
using window::Control;

enum class Choice { kSerial, kItemId, kName, kAuthor, kInvalid, kDescription, kNone };

Choice ChoiceOf(const Text& comboText) {
  static const Text kChoices[] = {text::Gbk("序号"), text::Gbk("编码"),     text::Gbk("名称"),
                                  text::Gbk("作者"), text::Gbk("是否失效"), text::Gbk("MOD信息")};
  for (int i = 0; i < 6; ++i) {
    if (comboText == kChoices[i]) return static_cast<Choice>(i);
  }
  return Choice::kNone;
}

int ColumnOf(Choice choice) {
  switch (choice) {
    case Choice::kItemId:
      return kItemIdColumn;
    case Choice::kName:
      return kNameColumn;
    case Choice::kAuthor:
      return kAuthorColumn;
    case Choice::kInvalid:
      return kInvalidColumn;
    default:
      return -1;
  }
}

void JoinDescription(const window::ModList& list, int row, Text& joined) {
  joined.clear();
  for (int column = kFirstDescriptionColumn; column <= kLastDescriptionColumn; ++column) {
    joined += list.CellText(row, column);
  }
}

Text FoundLog(const window::ModList& list, const std::vector<Text>& foundSerials) {
  return text::Gbk("\r\n\r\n已查找到MOD个数：") + text::Decimal(list.SelectedCount()) +
         text::Gbk("\r\n序号分别是：") + text::JoinWithComma(foundSerials);
}

void FindSerial(window::ModList& list, window::Window& window, const Text& t, int rowCount) {
  std::vector<int> found;
  for (int row = 0; row < rowCount; ++row) {
    if (list.CellText(row, kSerialColumn) == t) {
      list.SelectRow(row);
      found.push_back(row);
    }
  }
  ScrollToFoundRows(list, found);
  if (rowCount > 0) window.GiveFocus(Control::ModListView);
  window.AppendLog(text::Gbk("\r\n\r\n已查找到MOD个数：") + text::Decimal(list.SelectedCount()));
}

// Columns 1, 2, 3, 5 and the joined description: unticked, a row is found when its text equals t; ticked,
// when t occurs in it. Every row whose text could be tested (a candidate) moves the focus to the list.
void FindInColumn(window::ModList& list, window::Window& window, const Text& t, int rowCount, Choice choice) {
  const bool fuzzy = window.IsTicked(Control::FuzzyCheck);
  const int column = ColumnOf(choice);
  const FuzzyPattern pattern(t);
  std::vector<int> found;
  std::vector<Text> foundSerials;
  bool anyCandidate = false;
  int lastDescribedRow = -1;
  Text value;
  for (int row = 0; row < rowCount; ++row) {
    if (choice == Choice::kDescription) {
      JoinDescription(list, row, value);
      if (!value.empty()) lastDescribedRow = row;
    } else {
      value = list.CellText(row, column);
    }
    if (!fuzzy && value != t) continue;
    anyCandidate = true;
    if (pattern.FoundIn(value)) {
      list.SelectRow(row);
      found.push_back(row);
      foundSerials.push_back(list.CellText(row, kSerialColumn));
    }
  }
  // The box would be rewritten for every row with a description; no event runs in between, so only the
  // last text is ever seen.
  if (lastDescribedRow >= 0) {
    JoinDescription(list, lastDescribedRow, value);
    window.SetText(Control::DescriptionBox, text::LinesFromBr(value));
  }
  ScrollToFoundRows(list, found);
  if (anyCandidate) window.GiveFocus(Control::ModListView);
  window.AppendLog(FoundLog(list, foundSerials));
}

}  // namespace

void ScrollBelowThenTo(window::ModList& list, long long from, int row) {
  const int rowCount = list.RowCount();
  if (static_cast<double>(rowCount) - static_cast<double>(from) - (kScrollLead - 1) > 1e-7) {
    list.EnsureVisible(static_cast<int>(from + kScrollLead));
  } else {
    list.EnsureVisible(rowCount - 1);
  }
  list.EnsureVisible(row);
}

void ScrollToFoundRow(window::ModList& list, int row) {
  ScrollBelowThenTo(list, row, row);
}

// Each step leaves the top row clamped between a lower bound that rises with the found row and the found
// row itself, so after the first step every later step but the last changes nothing that the last one
// does not overwrite. The exception is a row with exactly kScrollLead rows from it to the end: its first
// bring-into-view falls outside the list, its lower bound drops, and the step before it still counts.
void ScrollToFoundRows(window::ModList& list, const std::vector<int>& foundRows) {
  if (foundRows.empty()) return;
  const size_t last = foundRows.size() - 1;
  ScrollToFoundRow(list, foundRows.front());
  if (last >= 2 && foundRows[last] + kScrollLead == list.RowCount())
    ScrollToFoundRow(list, foundRows[last - 1]);
  if (last >= 1) ScrollToFoundRow(list, foundRows[last]);
}

void DeselectAll(window::ModList& list) {
  for (int row : list.SelectedRows()) list.DeselectRow(row);
}

bool FindByField(window::ModList& list, window::Window& window) {
  const Text t = window.GetText(Control::SearchTextBox);
  if (t.empty()) return false;
  const int rowCount = list.RowCount();
  DeselectAll(list);
  const Choice choice = ChoiceOf(window.GetText(Control::SearchFieldCombo));
  switch (choice) {
    case Choice::kNone:
      return false;
    case Choice::kSerial:
      FindSerial(list, window, t, rowCount);
      return true;
    case Choice::kInvalid:
      if (t != text::Gbk("真") && t != text::Gbk("假")) {
        window.ShowMessage(text::Gbk("请输入[真]或[假]。\r\n[真]代表已失效，[假]代表未失效。"));
        window.SetText(Control::SearchTextBox, Text());
        window.GiveFocus(Control::SearchTextBox);
        return false;
      }
      break;
    default:
      break;
  }
  FindInColumn(list, window, t, rowCount, choice);
  return true;
}

void SelectAllSearchText(window::Window& window) {
  window.SelectText(Control::SearchTextBox, 0, text::Length(window.GetText(Control::SearchTextBox)));
}

void OnSearchBoxKey(window::ModList& list, window::Window& window, int key) {
  constexpr int kEnter = 13;
  if (key != kEnter || !FindByField(list, window)) return;
  window.GiveFocus(Control::ModListView);
  window.GiveFocus(Control::SearchTextBox);
  SelectAllSearchText(window);
}

}  // namespace quorvane::search
