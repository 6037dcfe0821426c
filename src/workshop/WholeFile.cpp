#include "workshop/WholeFile.h"

#include <filesystem>
#include <fstream>

#include "text/Encoding.h"

namespace quorvane::workshop {

bool WriteWholeFile(const text::Text& path, std::string_view bytes) {
  const std::filesystem::path target = text::ToNativePath(path);
  std::filesystem::path temporary = target;
  temporary += ".partial";
  std::error_code error;
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::filesystem::remove(temporary, error);
      return false;
    }
  }
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

long long FileSize(const text::Text& path) {
  std::error_code error;
  const auto native = text::ToNativePath(path);
  if (!std::filesystem::exists(native, error)) return -1;
  const auto size = std::filesystem::file_size(native, error);
  // A folder standing where the file should be reads as present, never as empty.
  return error ? 0x7fffffff : static_cast<long long>(size);
}

bool ReadWholeFile(const text::Text& path, std::string& buffer) {
  const auto native = text::ToNativePath(path);
  std::error_code error;
  // Only a regular file is a page: a folder in its place reports a size it does not hold, and a pipe or
  // a device would never end.
  if (!std::filesystem::is_regular_file(native, error)) return false;
  const auto size = std::filesystem::file_size(native, error);
  if (error) return false;
  std::ifstream in(native, std::ios::binary);
  if (!in) return false;
  // Resizing without clearing first spares zeroing a buffer that is reused page after page.
  buffer.resize(static_cast<size_t>(size));
  in.read(buffer.data(), static_cast<std::streamsize>(size));
  buffer.resize(static_cast<size_t>(in.gcount()));
  return !in.bad();
}

}  // namespace quorvane::workshop
