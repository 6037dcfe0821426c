#include "index/ModIndex.h"

#include <sqlite3.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "index/ModIndexSchema.h"
#include "index/ProgramFolder.h"
#include "text/Encoding.h"

namespace quorvane::index {
namespace {

namespace fs = std::filesystem;

// How long a write waits for another instance that holds the file's write lock.
constexpr int kBusyTimeoutMs = 3000;

enum class FieldType { kInteger, kText, kBool };

FieldType TypeOf(int k) {
  if (k == kSerial) return FieldType::kInteger;
  if (k == kInvalid) return FieldType::kBool;
  return FieldType::kText;
}

Value EmptyValue(int k) {
  switch (TypeOf(k)) {
    case FieldType::kInteger:
      return 0LL;
    case FieldType::kBool:
      return false;
    case FieldType::kText:
      break;
  }
  return Text();
}

// A cell as the field's type, whatever another program may have stored in it.
Value CellValue(sqlite3_stmt* row, int column, int k) {
  const int storage = sqlite3_column_type(row, column);
  switch (TypeOf(k)) {
    case FieldType::kInteger:
      return static_cast<long long>(sqlite3_column_int64(row, column));
    case FieldType::kBool:
      return sqlite3_column_int64(row, column) != 0;
    case FieldType::kText:
      break;
  }
  if (storage == SQLITE_NULL) return Text();
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(row, column));
  const int size = sqlite3_column_bytes(row, column);
  return bytes ? Text(bytes, static_cast<size_t>(size)) : Text();
}

// What a value becomes in field k, or nothing when the types do not meet.
std::optional<Value> ConvertForField(int k, const Value& value) {
  switch (TypeOf(k)) {
    case FieldType::kInteger:
      if (std::holds_alternative<long long>(value)) return value;
      if (const auto* real = std::get_if<double>(&value)) {
        // Cut toward zero, as a number assigned to an integer is; values no integer can hold are refused.
        if (!std::isfinite(*real) || std::fabs(*real) >= 9.2e18) return std::nullopt;
        return static_cast<long long>(*real);
      }
      return std::nullopt;
    case FieldType::kBool:
      if (std::holds_alternative<bool>(value)) return value;
      return std::nullopt;
    case FieldType::kText:
      if (std::holds_alternative<Text>(value)) return value;
      return std::nullopt;
  }
  return std::nullopt;
}

void BindText(sqlite3_stmt* statement, int index, const Text& text) {
  // A zero-length blob, not NULL, so that every text field holds a text.
  sqlite3_bind_blob(statement, index, text.empty() ? "" : text.data(), static_cast<int>(text.size()),
                    SQLITE_TRANSIENT);
}

bool BindValue(sqlite3_stmt* statement, int index, const Value& value) {
  if (const auto* integer = std::get_if<long long>(&value)) {
    return sqlite3_bind_int64(statement, index, *integer) == SQLITE_OK;
  }
  if (const auto* flag = std::get_if<bool>(&value)) {
    return sqlite3_bind_int(statement, index, *flag ? 1 : 0) == SQLITE_OK;
  }
  if (const auto* text = std::get_if<Text>(&value)) {
    BindText(statement, index, *text);
    return true;
  }
  return false;
}

// Letter case of A to Z ignored, as field names are looked up.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto fold = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 0x20 : c; };
    if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// A prepared statement that resets itself after every use.
class Statement {
 public:
  Statement() = default;
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // makeSql is called only for the first use: the statement is kept prepared after that.
  template <typename MakeSql>
  sqlite3_stmt* Prepare(sqlite3* db, MakeSql makeSql) {
    if (!statement_) {
      const std::string sql = makeSql();
      sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
    }
    if (statement_) {
      sqlite3_reset(statement_);
      sqlite3_clear_bindings(statement_);
    }
    return statement_;
  }
  void Release() {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
  }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

// Runs a statement that answers at most one row and resets it when this goes out of scope.
class Step {
 public:
  explicit Step(sqlite3_stmt* statement) : statement_(statement) {
    result_ = statement_ ? sqlite3_step(statement_) : SQLITE_MISUSE;
  }
  ~Step() {
    if (statement_) sqlite3_reset(statement_);
  }
  Step(const Step&) = delete;
  Step& operator=(const Step&) = delete;
  bool HasRow() const { return result_ == SQLITE_ROW; }
  bool Done() const { return result_ == SQLITE_DONE; }

 private:
  sqlite3_stmt* statement_;
  int result_;
};

std::string Utf8Path(const fs::path& path) {
  const auto u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

// Comparable form of a path, so that "a/../t.edb" and "t.edb" are the same table.
fs::path Identity(const fs::path& path) {
  std::error_code error;
  fs::path canonical = fs::weakly_canonical(path, error);
  return error ? path.lexically_normal() : canonical;
}

std::optional<long long> IntegerPragma(sqlite3* db, const char* sql, std::string* error) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
    *error = sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    return std::nullopt;
  }
  std::optional<long long> value;
  const int rc = sqlite3_step(statement);
  if (rc == SQLITE_ROW) {
    value = sqlite3_column_int64(statement, 0);
  } else {
    *error = sqlite3_errmsg(db);
  }
  sqlite3_finalize(statement);
  return value;
}

// Reads only: a foreign file must stay exactly as it was.
bool LooksLikeOurIndex(sqlite3* db, std::string* reason) {
  std::string error;
  const auto applicationId = IntegerPragma(db, "PRAGMA application_id", &error);
  if (!applicationId) {
    *reason = "not a table file (" + error + ")";
    return false;
  }
  if (*applicationId != schema::kApplicationId) {
    *reason = "not a Quorvane index file";
    return false;
  }
  const auto version = IntegerPragma(db, "PRAGMA user_version", &error);
  if (!version || *version != schema::kUserVersion) {
    *reason = "an index file of an unknown version";
    return false;
  }
  sqlite3_stmt* columns = nullptr;
  const std::string sql = std::string("PRAGMA table_info(") + schema::kTableName + ")";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &columns, nullptr) != SQLITE_OK) {
    *reason = sqlite3_errmsg(db);
    return false;
  }
  int count = 0;
  bool fieldsMatch = true;
  while (sqlite3_step(columns) == SQLITE_ROW) {
    if (count < kFieldCount) {
      const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(columns, 1));
      const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(columns, 2));
      const schema::Field& expected = schema::kFields[count];
      if (!name || !type || std::string_view(name) != expected.name ||
          !SameName(type, expected.declaredType)) {
        fieldsMatch = false;
      }
    }
    ++count;
  }
  sqlite3_finalize(columns);
  if (count != kFieldCount || !fieldsMatch) {
    *reason = "the index file's fields are not the expected 14";
    return false;
  }
  // Every walk goes to records 1..count; a damaged or edited file whose last record number is not its
  // count would send it through millions of records that are not there.
  const auto dense = IntegerPragma(db, schema::DenseSql().c_str(), &error);
  if (!dense) {
    *reason = "the index file is damaged (" + error + ")";
    return false;
  }
  if (*dense != 1) {
    *reason = "the index file's records are not numbered 1 to n";
    return false;
  }
  return true;
}

// Which file a path names, so that a table file replaced while open is told from the one that was opened.
struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> IdentityOfFile(const fs::path& path) {
#ifndef _WIN32
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{static_cast<unsigned long long>(status.st_dev),
                      static_cast<unsigned long long>(status.st_ino)};
#else
  // An open file cannot be replaced there: existence is the whole question.
  std::error_code error;
  if (!fs::exists(path, error)) return std::nullopt;
  return FileIdentity{};
#endif
}

// A URI that opens the file read-only and as immutable: SQLite then neither takes locks nor creates, reads
// or replays a -wal file beside it, so a check of a file that may not be ours cannot change it, even when
// a write-ahead log of an earlier file of that name lies beside it.
std::string ImmutableUri(const std::string& utf8Path) {
  std::string uri = "file:";
  for (unsigned char c : utf8Path) {
    if (c == '%' || c == '?' || c == '#' || c < 0x20) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      uri += escaped;
    } else {
      uri += static_cast<char>(c);
    }
  }
  return uri + "?immutable=1";
}

bool Execute(sqlite3* db, const char* sql, std::string* error) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  if (error) *error = message ? message : sqlite3_errmsg(db);
  sqlite3_free(message);
  return false;
}

}  // namespace

Text FieldText(const Value& value) {
  if (const auto* text = std::get_if<Text>(&value)) return *text;
  if (const auto* flag = std::get_if<bool>(&value)) return text::Gbk(*flag ? "真" : "假");
  if (const auto* integer = std::get_if<long long>(&value)) return text::Decimal(*integer);
  // to_chars, not printf: the window toolkit sets the user's locale, which may write "1,5".
  const double real = std::get<double>(value);
  std::array<char, 64> buffer{};
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), real, std::chars_format::general, 13);
  return Text(buffer.data(), result.ptr);
}

fs::path LogPath(const fs::path& table) {
  return fs::path(table.string() + "-wal");
}

struct ModIndex::Impl {
  sqlite3* db = nullptr;
  fs::path identity;
  FileIdentity file;
  // The write-ahead log this connection writes, told from one another instance may make later.
  std::optional<FileIdentity> log;
  std::string lastError;
  long long current = 1;
  // The fields of the current record, read once per record so that a walk costs one lookup per record.
  std::optional<std::array<Value, kFieldCount>> row;

  Statement count;
  Statement goTo;
  Statement read;
  Statement add;
  Statement clear;
  Statement byId;
  Statement bySerial;
  std::array<Statement, kFieldCount> write;

  ~Impl() { Close(); }

  void Close() {
    count.Release();
    goTo.Release();
    read.Release();
    add.Release();
    clear.Release();
    byId.Release();
    bySerial.Release();
    for (Statement& statement : write) statement.Release();
    // Closing with a transaction open would roll back a write group.
    if (db && !sqlite3_get_autocommit(db)) Execute(db, "COMMIT", nullptr);
    // Another file at the name, not merely none: a file moved away may come back and need its log.
    const auto now = IdentityOfFile(identity);
    const bool replaced = db && now && *now != file;
    if (db) sqlite3_close_v2(db);
    // SQLite keeps the log of a file that was replaced while open; left there, it would be replayed into
    // the file that now bears the name.
    if (replaced && log && IdentityOfFile(LogPath(identity)) == log) {
      std::error_code ignored;
      fs::remove(LogPath(identity), ignored);
      fs::remove(fs::path(identity.string() + "-shm"), ignored);
    }
    log.reset();
    db = nullptr;
    identity.clear();
    current = 1;
    row.reset();
  }

  long long Count() {
    if (!db) return 0;
    sqlite3_stmt* statement = count.Prepare(db, schema::CountSql);
    Step step(statement);
    return step.HasRow() ? sqlite3_column_int64(statement, 0) : 0;
  }

  // Positions on record n, clamped, and reads it, in one statement: a walk then costs one lookup (and
  // one read transaction) per record. A change by another instance shows at the next go to.
  void GoTo(long long n) {
    sqlite3_stmt* statement = goTo.Prepare(db, schema::GoToSql);
    if (!statement) return;
    sqlite3_bind_int64(statement, 1, n);
    Step step(statement);
    row.reset();
    if (!step.HasRow()) return;
    const long long count = sqlite3_column_int64(statement, 0);
    current = std::max(1LL, std::min(n, count));
    std::array<Value, kFieldCount> values;
    for (int k = 1; k <= kFieldCount; ++k) values[k - 1] = CellValue(statement, k, k);
    row = std::move(values);
  }

  void MoveTo(long long record) {
    if (record != current) row.reset();
    current = record;
  }

  const std::array<Value, kFieldCount>* CurrentRow() {
    if (row) return &*row;
    if (!db) return nullptr;
    sqlite3_stmt* statement = read.Prepare(db, schema::SelectRowSql);
    sqlite3_bind_int64(statement, 1, current);
    Step step(statement);
    if (!step.HasRow()) return nullptr;
    std::array<Value, kFieldCount> values;
    for (int k = 1; k <= kFieldCount; ++k) values[k - 1] = CellValue(statement, k - 1, k);
    row = std::move(values);
    return &*row;
  }

  // Still the file that was opened: a file deleted or replaced by another one since takes no write.
  bool FileStillThere() const { return IdentityOfFile(identity) == file; }
};

ModIndex::ModIndex() : impl_(std::make_unique<Impl>()) {}
ModIndex::~ModIndex() = default;

OpenResult ModIndex::Open(const Text& path) {
  const fs::path native = text::ToNativePath(path);
  const fs::path identity = Identity(native);
  if (impl_->db && identity == impl_->identity) {
    if (impl_->FileStillThere()) return OpenResult::kAlreadyOpen;
    // Replaced or removed since it was opened: what is there now is examined afresh.
    impl_->Close();
  }

  std::error_code error;
  const fs::file_status status = fs::status(native, error);
  if (!fs::exists(status)) {
    impl_->lastError = "the index file is missing";
    return OpenResult::kMissing;
  }
  if (!fs::is_regular_file(status)) {
    impl_->lastError = "the index path is not a file";
    return OpenResult::kNotAnIndex;
  }
  std::string reason;
  bool ours = false;
  {
    sqlite3* check = nullptr;
    const int rc = sqlite3_open_v2(ImmutableUri(Utf8Path(native)).c_str(), &check,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
      reason = std::string("the index file cannot be opened (") +
               (check ? sqlite3_errmsg(check) : "out of memory") + ")";
    } else {
      ours = LooksLikeOurIndex(check, &reason);
    }
    sqlite3_close_v2(check);
  }
  sqlite3* db = nullptr;
  if (ours && sqlite3_open_v2(Utf8Path(native).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                              nullptr) != SQLITE_OK) {
    reason =
        std::string("the index file cannot be opened (") + (db ? sqlite3_errmsg(db) : "out of memory") + ")";
    ours = false;
  }
  if (!ours) {
    sqlite3_close_v2(db);
    impl_->lastError = reason;
    return OpenResult::kNotAnIndex;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // Only now that the file is known to be ours may anything be written to it.
  Execute(db, "PRAGMA journal_mode=WAL", nullptr);
  Execute(db, "PRAGMA synchronous=NORMAL", nullptr);
  // A read makes SQLite open (or create) the log, whose identity is then known.
  Execute(db, "SELECT count(*) FROM sqlite_master", nullptr);

  impl_->Close();
  impl_->db = db;
  impl_->identity = identity;
  impl_->file = IdentityOfFile(native).value_or(FileIdentity{});
  impl_->log = IdentityOfFile(LogPath(identity));
  impl_->lastError.clear();
  return OpenResult::kOpened;
}

bool ModIndex::IsOpen() const {
  return impl_->db != nullptr;
}

const std::string& ModIndex::LastError() const {
  return impl_->lastError;
}

void ModIndex::CloseAll() {
  impl_->Close();
}

int ModIndex::RecordCount() {
  return static_cast<int>(impl_->Count());
}

void ModIndex::GoTo(long long n) {
  if (!impl_->db) return;
  impl_->GoTo(n);
}

int ModIndex::CurrentRecord() const {
  return static_cast<int>(impl_->current);
}

Value ModIndex::ReadField(int k) {
  if (k < 1 || k > kFieldCount) return Text();
  const auto* row = impl_->CurrentRow();
  return row ? (*row)[k - 1] : EmptyValue(k);
}

Value ModIndex::ReadField(const Text& name) {
  for (int k = 1; k <= kFieldCount; ++k) {
    if (SameName(name, schema::FieldNameGbk(k))) return ReadField(k);
  }
  return Text();
}

Text ModIndex::ReadText(int k) {
  return FieldText(ReadField(k));
}

bool ModIndex::ReadBool(int k) {
  const Value value = ReadField(k);
  if (const auto* flag = std::get_if<bool>(&value)) return *flag;
  if (const auto* integer = std::get_if<long long>(&value)) return *integer != 0;
  return false;
}

bool ModIndex::WriteField(int k, const Value& value) {
  if (!impl_->db || k < 1 || k > kFieldCount) return false;
  const std::optional<Value> converted = ConvertForField(k, value);
  if (!converted || !impl_->FileStillThere()) return false;
  sqlite3_stmt* statement = impl_->write[k - 1].Prepare(impl_->db, [k] { return schema::UpdateFieldSql(k); });
  if (!statement || !BindValue(statement, 1, *converted)) return false;
  sqlite3_bind_int64(statement, 2, impl_->current);
  Step step(statement);
  if (!step.Done() || sqlite3_changes(impl_->db) != 1) return false;
  if (impl_->row) (*impl_->row)[k - 1] = *converted;
  return true;
}

void ModIndex::ForEachRecord(const std::function<void(long long record, const Record& fields)>& visit) {
  if (!impl_->db) return;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(impl_->db, schema::SelectAllSql().c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return;
  }
  Record fields;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    for (int k = 1; k <= kFieldCount; ++k) fields[k - 1] = CellValue(statement, k, k);
    visit(sqlite3_column_int64(statement, 0), fields);
  }
  sqlite3_finalize(statement);
}

bool ModIndex::BeginWriteGroup() {
  if (!impl_->db || !sqlite3_get_autocommit(impl_->db)) return false;
  // IMMEDIATE takes the write lock now, so a second instance cannot turn this into a deadlock later.
  return Execute(impl_->db, "BEGIN IMMEDIATE", nullptr);
}

bool ModIndex::CommitWriteGroup() {
  if (!impl_->db || sqlite3_get_autocommit(impl_->db)) return false;
  return Execute(impl_->db, "COMMIT", nullptr);
}

namespace {

// How long a write group may stay open: what a crash can lose, and how long a second instance waits.
constexpr long long kWriteGroupMs = 100;

long long SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

WriteGroup::WriteGroup(ModIndex& table) : table_(table) {
  open_ = table_.BeginWriteGroup();
  openedAtMs_ = SteadyMs();
}

WriteGroup::~WriteGroup() {
  Commit();
}

void WriteGroup::BetweenRecords() {
  if (!open_ || SteadyMs() - openedAtMs_ < kWriteGroupMs) return;
  table_.CommitWriteGroup();
  open_ = table_.BeginWriteGroup();
  openedAtMs_ = SteadyMs();
}

void WriteGroup::Commit() {
  if (open_) table_.CommitWriteGroup();
  open_ = false;
}

bool ModIndex::AddRecord(long long serial, const Text& id) {
  if (!impl_->db || !impl_->FileStillThere()) return false;
  sqlite3_stmt* statement = impl_->add.Prepare(impl_->db, schema::AppendSql);
  if (!statement) return false;
  sqlite3_bind_int64(statement, 1, serial);
  BindText(statement, 2, id);
  Step step(statement);
  if (!step.Done()) return false;
  impl_->MoveTo(sqlite3_last_insert_rowid(impl_->db));
  return true;
}

void ModIndex::Clear() {
  if (!impl_->db || !impl_->FileStillThere()) return;
  Step step(impl_->clear.Prepare(impl_->db, schema::ClearSql));
  impl_->row.reset();
  impl_->current = 1;
}

bool ModIndex::Find(const std::function<bool()>& condition) {
  if (!impl_->db) return false;
  const long long count = impl_->Count();
  const long long before = impl_->current;
  if (count == 0 || before > count) return false;
  for (long long r = before; r <= count; ++r) {
    impl_->MoveTo(r);
    if (condition()) return true;
  }
  impl_->MoveTo(before);
  return false;
}

namespace {

// Makes the record a lookup found current, or record 1 when it found none.
bool SettleLookup(ModIndex& table, sqlite3_stmt* statement) {
  long long found = 0;
  {
    Step step(statement);
    if (step.HasRow()) found = sqlite3_column_int64(statement, 0);
  }
  table.GoTo(found > 0 ? found : 1);
  return found > 0;
}

}  // namespace

bool ModIndex::FindById(const Text& id) {
  if (!impl_->db) return false;
  sqlite3_stmt* statement = impl_->byId.Prepare(impl_->db, schema::FindByIdSql);
  if (!statement) return false;
  BindText(statement, 1, id);
  return SettleLookup(*this, statement);
}

bool ModIndex::FindBySerial(double serial) {
  if (!impl_->db || std::isnan(serial)) return false;
  sqlite3_stmt* statement = impl_->bySerial.Prepare(impl_->db, schema::FindBySerialSql);
  if (!statement) return false;
  sqlite3_bind_double(statement, 1, serial - 1e-7);
  sqlite3_bind_double(statement, 2, serial + 1e-7);
  return SettleLookup(*this, statement);
}

bool CreateEmptyIndexFile(const std::string& nativePath, std::string* error) {
  const fs::path path = fs::u8path(nativePath);
  // An empty file is an empty database to SQLite; creating it first and exclusively means a file that
  // appears at the path meanwhile is never written into.
  if (!WriteNewFile(path, "", error)) return false;
  sqlite3* db = nullptr;
  std::string reason;
  bool made = sqlite3_open_v2(nativePath.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
  if (!made) reason = db ? sqlite3_errmsg(db) : "out of memory";
  made = made && Execute(db, schema::CreateSql().c_str(), &reason);
  sqlite3_close_v2(db);
  if (!made) {
    std::error_code ignored;
    fs::remove(path, ignored);
    if (error) *error = "cannot write the index file " + nativePath + ": " + reason;
  }
  return made;
}

}  // namespace quorvane::index
