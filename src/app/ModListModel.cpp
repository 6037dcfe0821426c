#include "app/ModListModel.h"

#include "app/QtText.h"

namespace quorvane::app {
int ModListModel::Append(const Text& column0) {
  Row row;
  row.bytes = column0;
  row.ends.fill(static_cast<uint32_t>(column0.size()));
  rows_.push_back(std::move(row));
  checks_.push_back(0);
  return Count() - 1;
}

void ModListModel::SetCell(int row, int column, std::string_view value) {
  if (!Exists(row) || column < 0 || column >= window::kColumnCount) return;
  Row& target = rows_[row];
  const uint32_t begin = target.Begin(column);
  const uint32_t oldLength = target.ends[column] - begin;
  target.bytes.replace(begin, oldLength, value);
  const auto delta = static_cast<int64_t>(value.size()) - static_cast<int64_t>(oldLength);
  for (int c = column; c < window::kColumnCount; ++c)
    target.ends[c] = static_cast<uint32_t>(target.ends[c] + delta);
  MarkDirty(row);
}

std::string_view ModListModel::Cell(int row, int column) const {
  if (!Exists(row) || column < 0 || column >= window::kColumnCount) return {};
  const Row& source = rows_[row];
  const uint32_t begin = source.Begin(column);
  return std::string_view(source.bytes).substr(begin, source.ends[column] - begin);
}

void ModListModel::SetChecked(int row, bool checked) {
  if (!Exists(row) || Checked(row) == checked) return;
  checks_[row] = checked ? 1 : 0;
  MarkDirty(row);
}

void ModListModel::Clear() {
  beginResetModel();
  rows_.clear();
  rows_.shrink_to_fit();
  checks_.clear();
  checks_.shrink_to_fit();
  published_ = 0;
  dirtyFirst_ = INT32_MAX;
  dirtyLast_ = -1;
  endResetModel();
}

void ModListModel::MarkDirty(int row) {
  // Rows the views have not been told about yet are painted fresh anyway.
  if (row >= published_) return;
  dirtyFirst_ = std::min(dirtyFirst_, row);
  dirtyLast_ = std::max(dirtyLast_, row);
}

void ModListModel::Publish() {
  if (dirtyFirst_ <= dirtyLast_) {
    const int first = dirtyFirst_;
    const int last = dirtyLast_;
    dirtyFirst_ = INT32_MAX;
    dirtyLast_ = -1;
    emit dataChanged(index(first, 0), index(last, window::kColumnCount - 1));
  }
  if (published_ < Count()) {
    beginInsertRows(QModelIndex(), published_, Count() - 1);
    published_ = Count();
    endInsertRows();
  }
}

int ModListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : published_;
}

int ModListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : window::kColumnCount;
}

QVariant ModListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= published_) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(Cell(index.row(), index.column()));
    case Qt::CheckStateRole:
      if (index.column() == 0) return Checked(index.row()) ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::TextAlignmentRole:
      return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return {};
  }
}

bool ModListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  // Only the check box is editable, by the user's click or space bar.
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole || index.row() >= published_)
    return false;
  checks_[index.row()] = value.toInt() == Qt::Checked ? 1 : 0;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

QVariant ModListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const QString headers[window::kColumnCount] = {
      QStringLiteral("序号"),  QStringLiteral("编码"),     QStringLiteral("名称"),
      QStringLiteral("作者"),  QStringLiteral("图片地址"), QStringLiteral("是否失效"),
      QStringLiteral("描述1"), QStringLiteral("描述2"),    QStringLiteral("描述3"),
      QStringLiteral("描述4"), QStringLiteral("描述5"),    QStringLiteral("描述6"),
      QStringLiteral("描述7"), QStringLiteral("描述8")};
  if (orientation != Qt::Horizontal || section < 0 || section >= window::kColumnCount) return {};
  if (role == Qt::DisplayRole) return headers[section];
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags ModListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

}  // namespace quorvane::app
