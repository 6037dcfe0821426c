// A fresh folder under the system's temporary folder, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <string>

namespace quorvane::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path as a GBK text, as the operations take it.
  std::string text() const;
  // Creates folders and a file with content, relative to the folder.
  void WriteFile(const std::string& relative, const std::string& content) const;
  void MakeDir(const std::string& relative) const;
  std::string ReadFile(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::filesystem::path path_;
};

}  // namespace quorvane::testing
