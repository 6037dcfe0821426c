// Arbitrary bytes opened as the index table: no crash; a refused file is left byte for byte as it was with
// nothing beside it; an accepted one answers every table operation without crashing.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "index/ModIndex.h"
#include "text/Encoding.h"

namespace fs = std::filesystem;
using namespace quorvane;

namespace {

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path f = fs::temp_directory_path() / ("fuzz_table." + std::to_string(getpid()));
    fs::create_directories(f);
    return f;
  }();
  return folder;
}

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int EntriesInFolder() {
  return static_cast<int>(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()));
}

void Exercise(index::ModIndex& table) {
  const int count = table.RecordCount();
  for (int r = 0; r <= count + 1 && r <= 8; ++r) {
    table.GoTo(r);
    for (int k = 1; k <= index::kFieldCount; ++k) (void)index::FieldText(table.ReadField(k));
    (void)table.ReadBool(index::kInvalid);
  }
  (void)table.FindById("100");
  (void)table.FindBySerial(2);
  (void)table.Find([&] { return table.ReadText(index::kItemId) == "101"; });
  {
    index::WriteGroup group(table);
    (void)table.WriteField(index::kName, text::Text("fuzz"));
    (void)table.WriteField(index::kInvalid, true);
    group.BetweenRecords();
    (void)table.AddRecord(count + 1, "fuzz");
  }
  (void)table.ReadField(text::Gbk("编码"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  const fs::path file = Folder() / "CSLmod.edb";
  for (const char* side : {"", "-wal", "-shm", "-journal"}) fs::remove(file.string() + side);
  const std::string before(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(before.data(), static_cast<std::streamsize>(before.size()));
  }
  index::ModIndex table;
  const index::OpenResult result = table.Open(text::FromNativePath(file));
  if (result == index::OpenResult::kOpened) {
    Exercise(table);
    table.CloseAll();
  } else {
    if (result != index::OpenResult::kNotAnIndex || table.IsOpen() || table.LastError().empty()) std::abort();
    if (Bytes(file) != before) std::abort();
    if (EntriesInFolder() != 1) std::abort();
  }
  return 0;
}
