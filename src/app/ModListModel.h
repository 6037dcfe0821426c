// The list's rows as GBK texts, behind a table model. Rows are stored as they are added; views learn of
// new rows and changed cells in batches (Publish), so that filling 100,000 rows costs no per-row signal.
#pragma once

#include <QAbstractTableModel>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/Text.h"
#include "window/ModList.h"

namespace quorvane::app {

using text::Text;

class ModListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  int Count() const { return static_cast<int>(rows_.size()); }
  bool Exists(int row) const { return row >= 0 && row < Count(); }
  int Append(const Text& column0);
  void SetCell(int row, int column, std::string_view value);
  std::string_view Cell(int row, int column) const;
  bool Checked(int row) const { return Exists(row) && checks_[row] != 0; }
  void SetChecked(int row, bool checked);
  void Clear();
  // Tells the views about the rows and cells changed since the last call.
  void Publish();
  bool HasUnpublished() const { return published_ != Count() || dirtyFirst_ <= dirtyLast_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // One row's cells back to back in one string: a row costs one allocation, not fourteen.
  struct Row {
    std::string bytes;
    std::array<uint32_t, window::kColumnCount> ends{};
    uint32_t Begin(int column) const { return column == 0 ? 0 : ends[column - 1]; }
  };

  void MarkDirty(int row);

  std::vector<Row> rows_;
  std::vector<uint8_t> checks_;
  int published_ = 0;
  int dirtyFirst_ = INT32_MAX;
  int dirtyLast_ = -1;
};

}  // namespace quorvane::app
