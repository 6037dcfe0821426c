// The index table CSLmod.edb: one table of 14 typed fields, records numbered from 1, one current table
// and in it one current record. Stored in SQLite (rowid = record number, kept dense 1..n).
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <variant>

#include "text/Text.h"

namespace quorvane::index {

using text::Text;

inline constexpr int kFieldCount = 14;
// Field numbers, from 1.
inline constexpr int kSerial = 1;            // 序号, integer
inline constexpr int kItemId = 2;            // 编码, text
inline constexpr int kName = 3;              // 名称, text
inline constexpr int kAuthor = 4;            // 作者, text
inline constexpr int kPreviewUrl = 5;        // 图片地址, text
inline constexpr int kInvalid = 6;           // 是否失效, boolean
inline constexpr int kFirstDescription = 7;  // 描述1 .. 描述8 are fields 7 .. 14, text
inline constexpr int kDescriptionPieces = 8;
inline constexpr int kDescriptionPieceBytes = 256;

// A field value with its type. Integer and Float are the number types.
using Value = std::variant<long long, double, Text, bool>;

// The text a value shows in the list and in log lines: texts as they are, "真"/"假", integers in decimal,
// floating point as "%.13g".
Text FieldText(const Value& value);

// Why an open failed.
enum class OpenResult { kOpened, kAlreadyOpen, kMissing, kNotAnIndex };

class ModIndex {
 public:
  ModIndex();
  ~ModIndex();
  ModIndex(const ModIndex&) = delete;
  ModIndex& operator=(const ModIndex&) = delete;

  // Opens the file, makes it current with record 1 current. A path already open is not opened again: the
  // open table stays current, on the record it was on. A missing file or one that is not an index (corrupt,
  // foreign, wrong fields) fails, untouched, and leaves no current table when none was open.
  OpenResult Open(const Text& path);
  bool IsOpen() const;
  // After a failed open: what was wrong, for a message.
  const std::string& LastError() const;
  void CloseAll();

  // 0 without a current table.
  int RecordCount();
  // Clamped to 1..count; in an empty table the position is that of record 1, which holds no record.
  void GoTo(long long n);
  void GoToFirst() { GoTo(1); }
  int CurrentRecord() const;

  // The value of field k (1..14) of the current record; the empty value of its type (empty text, 0,
  // false) where the position holds no record or there is no current table.
  Value ReadField(int k);
  // By field name, letter case ignored; an unknown name reads as the empty text.
  Value ReadField(const Text& name);
  // Typed reads of the same.
  Text ReadText(int k);
  bool ReadBool(int k);

  // Replaces field k of the current record. A number of the other number type is converted; any other
  // type mismatch is not written. Answers whether it was written.
  bool WriteField(int k, const Value& value);

  // Writes that follow go into one transaction until CommitWriteGroup or CloseAll. A commit costs a lock
  // round and a journal write, so committing every write made a 20,000-folder index take seconds; long
  // operations commit a group between records (see WriteGroup), so a crash loses at most the last group
  // and never part of a record. Answers false (and writes stay single commits) when the table is busy.
  bool BeginWriteGroup();
  bool CommitWriteGroup();

  // Every record in order, in one pass and one read transaction: what a walk of go to and read field over
  // all records gives, at the cost of one scan. The current record is left as it was.
  using Record = std::array<Value, kFieldCount>;
  void ForEachRecord(const std::function<void(long long record, const Record& fields)>& visit);

  // Appends (serial, id) with every other field empty; it becomes current.
  bool AddRecord(long long serial, const Text& id);
  // Deletes every record.
  void Clear();

  // Tests condition on the records from the current one to the last, each current while it is tested.
  // Stops at the first that holds (it stays current, true); otherwise the record current before is current
  // again (false). False at once in an empty table or past the end.
  bool Find(const std::function<bool()>& condition);

  // Index lookups with the result a find from record 1 would give: the first record whose 编码 equals id
  // byte for byte, or whose 序号 is within 1e-7 of serial. They make that record current and answer true;
  // otherwise record 1 is current and they answer false.
  bool FindById(const Text& id);
  bool FindBySerial(double serial);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The write group of one long operation: open while it lives, committed between records once it has been
// open a while, and before the operation's final pause.
class WriteGroup {
 public:
  explicit WriteGroup(ModIndex& table);
  ~WriteGroup();
  WriteGroup(const WriteGroup&) = delete;
  WriteGroup& operator=(const WriteGroup&) = delete;

  // Call between two records.
  void BetweenRecords();
  // Commits what was written; nothing is grouped afterwards.
  void Commit();

 private:
  ModIndex& table_;
  bool open_ = false;
  long long openedAtMs_ = 0;
};

// Writes an empty index file with the 14 fields at path; refuses (false) when anything exists there.
// Used by the build's tool, never by the program.
bool CreateEmptyIndexFile(const std::string& nativePath, std::string* error = nullptr);

}  // namespace quorvane::index
