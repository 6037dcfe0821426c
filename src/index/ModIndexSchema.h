// The layout of the index file: table, columns, the marks that identify it, and the statements on it.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "index/ModIndex.h"
#include "text/Text.h"

namespace quorvane::index::schema {

// "QVRN": tells our index files from every other SQLite database.
inline constexpr long long kApplicationId = 0x5156524E;
inline constexpr long long kUserVersion = 1;
inline constexpr const char* kTableName = "mods";

struct Field {
  const char* name;  // UTF-8, as stored in the schema
  const char* declaredType;
};

inline constexpr Field kFields[kFieldCount] = {
    {"序号", "INTEGER"},     {"编码", "BLOB"},  {"名称", "BLOB"},  {"作者", "BLOB"},  {"图片地址", "BLOB"},
    {"是否失效", "INTEGER"}, {"描述1", "BLOB"}, {"描述2", "BLOB"}, {"描述3", "BLOB"}, {"描述4", "BLOB"},
    {"描述5", "BLOB"},       {"描述6", "BLOB"}, {"描述7", "BLOB"}, {"描述8", "BLOB"},
};

inline std::string Quoted(int k) {
  return std::string("\"") + kFields[k - 1].name + "\"";
}

// The name of field k as the callers spell it (GBK).
inline const Text& FieldNameGbk(int k) {
  static const std::array<Text, kFieldCount> names = [] {
    std::array<Text, kFieldCount> gbk;
    for (int i = 0; i < kFieldCount; ++i) gbk[i] = text::Gbk(kFields[i].name);
    return gbk;
  }();
  return names[k - 1];
}

inline std::string ColumnList(const std::string& table = "") {
  std::string list;
  for (int k = 1; k <= kFieldCount; ++k) list += (k > 1 ? ", " : "") + table + Quoted(k);
  return list;
}

// Records are numbered densely from 1, so the last rowid is the count, found without a scan.
inline std::string CountSql() {
  return std::string("SELECT max(rowid) FROM ") + kTableName;
}

// 1 when the records are numbered 1..n, as every walk assumes; a damaged table fails to answer instead.
inline std::string DenseSql() {
  return std::string("SELECT count(*) = coalesce(max(rowid), 0) FROM ") + kTableName;
}

inline std::string ClearSql() {
  return std::string("DELETE FROM ") + kTableName;
}

// The count, then the fields of record ?1 clamped to 1..count (NULLs where that position holds none).
inline std::string GoToSql() {
  return "SELECT m.n, " + ColumnList("t.") + " FROM (SELECT coalesce(max(rowid), 0) AS n FROM " + kTableName +
         ") AS m LEFT JOIN " + kTableName + " AS t ON t.rowid = max(1, min(?1, m.n))";
}

inline std::string SelectAllSql() {
  return "SELECT rowid, " + ColumnList() + " FROM " + kTableName + " ORDER BY rowid";
}

inline std::string SelectRowSql() {
  return "SELECT " + ColumnList() + " FROM " + kTableName + " WHERE rowid = ?1";
}

inline std::string UpdateFieldSql(int k) {
  return std::string("UPDATE ") + kTableName + " SET " + Quoted(k) + " = ?1 WHERE rowid = ?2";
}

// One statement, so the next number is taken and used atomically even beside a second instance.
inline std::string AppendSql() {
  std::string values = "coalesce(max(rowid), 0) + 1, ?1, ?2, X'', X'', X'', 0";
  for (int piece = 0; piece < kDescriptionPieces; ++piece) values += ", X''";
  return std::string("INSERT INTO ") + kTableName + " (rowid, " + ColumnList() + ") SELECT " + values +
         " FROM " + kTableName;
}

inline std::string FindByIdSql() {
  return std::string("SELECT min(rowid) FROM ") + kTableName + " WHERE " + Quoted(kItemId) + " = ?1";
}

inline std::string FindBySerialSql() {
  // min(), not ORDER BY rowid: the planner then always takes the index and never a scan in rowid order.
  return std::string("SELECT min(rowid) FROM ") + kTableName + " WHERE " + Quoted(kSerial) +
         " BETWEEN ?1 AND ?2";
}

inline std::string CreateSql() {
  std::string columns;
  for (int k = 1; k <= kFieldCount; ++k) {
    columns += (k > 1 ? ", " : "") + Quoted(k) + " " + kFields[k - 1].declaredType;
  }
  return "BEGIN; PRAGMA application_id = " + std::to_string(kApplicationId) +
         "; PRAGMA user_version = " + std::to_string(kUserVersion) + "; CREATE TABLE " + kTableName + " (" +
         columns + "); CREATE UNIQUE INDEX mods_by_id ON " + kTableName + " (" + Quoted(kItemId) +
         "); CREATE INDEX mods_by_serial ON " + kTableName + " (" + Quoted(kSerial) + "); COMMIT;";
}

}  // namespace quorvane::index::schema
