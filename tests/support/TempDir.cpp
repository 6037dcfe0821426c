#include "TempDir.h"

#include <fstream>
#include <random>
#include <sstream>

#include "text/Encoding.h"

namespace quorvane::testing {

TempDir::TempDir() {
  std::random_device device;
  for (;;) {
    path_ = std::filesystem::temp_directory_path() / ("quorvane-test-" + std::to_string(device()));
    if (std::filesystem::create_directory(path_)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                               ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::text() const { return text::FromNativePath(path_); }

void TempDir::MakeDir(const std::string& relative) const {
  std::filesystem::create_directories(path_ / std::filesystem::path(relative));
}

void TempDir::WriteFile(const std::string& relative, const std::string& content) const {
  const auto file = path_ / std::filesystem::path(relative);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string TempDir::ReadFile(const std::string& relative) const {
  std::ifstream in(path_ / std::filesystem::path(relative), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool TempDir::Exists(const std::string& relative) const {
  return std::filesystem::exists(path_ / std::filesystem::path(relative));
}

}  // namespace quorvane::testing
