#include "search/AuthorWorks.h"

#include <unordered_set>
#include <vector>

#include "search/FieldSearch.h"
#include "search/FuzzyMatch.h"
#include "search/ListColumns.h"
#include "text/Text.h"

namespace quorvane::search {
namespace {

using text::Text;
using window::Control;

bool MatchesAnAuthor(const Text& value, const std::vector<FuzzyPattern>& authorPatterns,
                     const std::unordered_set<Text>& authorSet, bool fuzzy) {
  if (!fuzzy) return authorSet.contains(value);
  for (const FuzzyPattern& author : authorPatterns) {
    if (author.FoundIn(value)) return true;
  }
  return false;
}

}  // namespace

void FindAuthorWorks(window::ModList& list, window::Window& window) {
  const int rowCount = list.RowCount();
  int checkedCount = 0;
  std::vector<int> checkedRows;
  std::vector<Text> authors;  // in list order, first occurrence kept, byte-equal repeats dropped
  std::unordered_set<Text> authorSet;
  for (int row = 0; row < rowCount; ++row) {
    if (list.Check(row) != 1) continue;
    ++checkedCount;
    checkedRows.push_back(row);
    Text author = list.CellText(row, kAuthorColumn);
    if (!author.empty() && authorSet.insert(author).second) authors.push_back(std::move(author));
  }
  if (checkedCount == 0) {
    window.AppendLog(text::Gbk("\r\n\r\n请选择至少一条记录进行查找！\r\n"));
    return;
  }
  // Only the rows read as checked can carry a mark: no event ran since.
  for (int row : checkedRows) list.SetCheck(row, 0);
  DeselectAll(list);

  const bool fuzzy = window.IsTicked(Control::FuzzyCheck);
  std::vector<FuzzyPattern> authorPatterns;
  if (fuzzy) {
    for (const Text& author : authors) authorPatterns.emplace_back(author);
  }
  std::vector<Text> foundSerials;
  int firstFound = -1;
  int lastFound = -1;
  for (int row = 0; row < rowCount; ++row) {
    if (!MatchesAnAuthor(list.CellText(row, kAuthorColumn), authorPatterns, authorSet, fuzzy)) continue;
    list.SelectRow(row);
    foundSerials.push_back(list.CellText(row, kSerialColumn));
    if (firstFound < 0) firstFound = row;
    lastFound = row;
  }
  // Bringing each found row into view in turn clamps the top row between bounds that rise with the row,
  // so the first and the last of them give the view all of them would.
  if (firstFound >= 0) {
    list.EnsureVisible(firstFound);
    if (lastFound != firstFound) list.EnsureVisible(lastFound);
    window.GiveFocus(Control::ModListView);
  }

  const long long p = lastFound + 1;  // from 1; 0 when nothing was found
  ScrollBelowThenTo(list, p, lastFound);

  window.AppendLog(text::Gbk("\r\n\r\n当前共选择MOD个数：") + text::Decimal(checkedCount) +
                   text::Gbk("\r\n作者：\r\n"));
  Text authorLines;
  for (const Text& author : authors) authorLines += author + "\r\n";
  window.AppendLog(authorLines);
  window.AppendLog(text::Gbk("已查找到MOD个数：") + text::Decimal(list.SelectedCount()) +
                   text::Gbk("\r\n序号分别是：") + text::JoinWithComma(foundSerials));
}

}  // namespace quorvane::search
