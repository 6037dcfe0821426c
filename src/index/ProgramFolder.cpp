#include "index/ProgramFolder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "index/Workspace.h"
#include "text/Encoding.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quorvane::index {
namespace {

namespace fs = std::filesystem;

// A libraryfolders.vdf is a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t kLargestVdf = 4 << 20;
// Nesting deeper than this is not Steam's, and must not exhaust the stack.
constexpr int kDeepestBlock = 32;

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Steam's KeyValues text: "key" "value" pairs and "key" { ... } blocks, // comments, and [$CONDITION]
// marks after an entry.
class VdfReader {
 public:
  struct Node {
    std::string key;
    std::string value;
    std::vector<Node> children;
    bool block = false;
  };

  explicit VdfReader(std::string_view text) : text_(text) {}

  // Reads the entries of the top level; on a fault, keeps what was read before it.
  std::vector<Node> ReadAll() {
    std::vector<Node> entries;
    ReadEntries(entries, 0);
    return entries;
  }

 private:
  enum class Token { kString, kOpen, kClose, kEnd };

  // Reads entries into nodes until a closing brace or the end; false on a fault.
  bool ReadEntries(std::vector<Node>& nodes, int depth) {
    for (;;) {
      std::string key;
      const Token token = Next(key);
      if (token == Token::kEnd || token == Token::kClose)
        return token == Token::kClose ? depth > 0 : depth == 0;
      if (token != Token::kString) return false;
      Node& node = nodes.emplace_back();
      node.key = std::move(key);
      std::string value;
      const Token after = Next(value);
      if (after == Token::kString) {
        node.value = std::move(value);
      } else if (after == Token::kOpen && depth < kDeepestBlock) {
        node.block = true;
        if (!ReadEntries(node.children, depth + 1)) return false;
      } else {
        nodes.pop_back();
        return false;
      }
    }
  }

  void SkipBlanksAndComments() {
    for (;;) {
      while (at_ < text_.size() && static_cast<unsigned char>(text_[at_]) <= ' ') ++at_;
      if (text_.substr(at_, 2) == "//") {
        while (at_ < text_.size() && text_[at_] != '\n') ++at_;
      } else if (at_ < text_.size() && text_[at_] == '[') {
        while (at_ < text_.size() && text_[at_] != ']' && text_[at_] != '\n') ++at_;
        if (at_ < text_.size() && text_[at_] == ']') ++at_;
      } else {
        return;
      }
    }
  }

  Token Next(std::string& out) {
    SkipBlanksAndComments();
    if (at_ >= text_.size()) return Token::kEnd;
    const char c = text_[at_];
    if (c == '{' || c == '}') {
      ++at_;
      return c == '{' ? Token::kOpen : Token::kClose;
    }
    if (c == '"') {
      ++at_;
      while (at_ < text_.size() && text_[at_] != '"') {
        if (text_[at_] == '\\' && at_ + 1 < text_.size()) {
          const char escaped = text_[at_ + 1];
          switch (escaped) {
            case 'n':
              out += '\n';
              break;
            case 't':
              out += '\t';
              break;
            case '\\':
            case '"':
              out += escaped;
              break;
            default:
              out += '\\';
              out += escaped;
          }
          at_ += 2;
        } else {
          out += text_[at_++];
        }
      }
      if (at_ >= text_.size()) return Token::kEnd;  // unterminated: the entry is incomplete
      ++at_;
      return Token::kString;
    }
    while (at_ < text_.size() && static_cast<unsigned char>(text_[at_]) > ' ' && text_[at_] != '{' &&
           text_[at_] != '}' && text_[at_] != '"') {
      out += text_[at_++];
    }
    return Token::kString;
  }

  std::string_view text_;
  size_t at_ = 0;
};

std::string ReadSmallFile(const fs::path& path) {
  std::error_code error;
  const auto size = fs::file_size(path, error);
  if (error || size > kLargestVdf) return {};
  std::ifstream in(path, std::ios::binary);
  std::string bytes(static_cast<size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

fs::path Utf8Path(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

fs::path WorkshopFolderOf(const fs::path& library) {
  return library / "steamapps" / "workshop" / "content" / std::string(kGameAppId);
}

fs::path Home() {
  const char* home = std::getenv("HOME");
  return home && *home ? Utf8Path(home) : fs::path();
}

#ifdef _WIN32
// The Steam client records where it is installed; the usual place when it has not.
fs::path SteamInstallFolder() {
  wchar_t buffer[MAX_PATH * 2];
  DWORD size = sizeof(buffer);
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath", RRF_RT_REG_SZ, nullptr, buffer,
                   &size) == ERROR_SUCCESS) {
    return fs::path(buffer).make_preferred();
  }
  const wchar_t* programs = _wgetenv(L"ProgramFiles(x86)");
  return fs::path(programs && *programs ? programs : L"C:\\Program Files (x86)") / "Steam";
}
#endif

}  // namespace

std::vector<SteamLibrary> ParseLibraryFolders(std::string_view vdf) {
  std::vector<SteamLibrary> libraries;
  for (const VdfReader::Node& root : VdfReader(vdf).ReadAll()) {
    if (!root.block || !SameAscii(root.key, "libraryfolders")) continue;
    for (const VdfReader::Node& entry : root.children) {
      if (!AllDigits(entry.key)) continue;  // the older layout mixes in other settings
      SteamLibrary library;
      if (!entry.block) {
        library.path = entry.value;
      } else {
        for (const VdfReader::Node& field : entry.children) {
          if (!field.block && SameAscii(field.key, "path")) library.path = field.value;
          if (field.block && SameAscii(field.key, "apps")) {
            for (const VdfReader::Node& app : field.children) library.apps.push_back(app.key);
          }
        }
      }
      if (!library.path.empty()) libraries.push_back(std::move(library));
    }
  }
  return libraries;
}

std::vector<fs::path> SteamAppsFolders() {
#ifdef _WIN32
  return {SteamInstallFolder() / "steamapps"};
#else
  const fs::path home = Home();
  if (home.empty()) return {};
#ifdef __APPLE__
  return {home / "Library" / "Application Support" / "Steam" / "steamapps"};
#else
  return {home / ".steam" / "steam" / "steamapps", home / ".local" / "share" / "Steam" / "steamapps"};
#endif
#endif
}

std::optional<fs::path> FindWorkshopFolder(const std::vector<fs::path>& steamAppsFolders) {
  std::vector<fs::path> candidates;
  for (const fs::path& steamApps : steamAppsFolders) {
    for (const SteamLibrary& library : ParseLibraryFolders(ReadSmallFile(steamApps / "libraryfolders.vdf"))) {
      const fs::path folder = WorkshopFolderOf(Utf8Path(library.path));
      for (const std::string& app : library.apps) {
        if (app == kGameAppId) return folder;
      }
      candidates.push_back(folder);
    }
    // A steamapps folder is a library of its own even where no file lists it.
    candidates.push_back(WorkshopFolderOf(steamApps.parent_path()));
  }
  for (const fs::path& folder : candidates) {
    std::error_code error;
    if (fs::is_directory(folder, error)) return folder;
  }
  return std::nullopt;
}

fs::path UsualWorkshopFolder() {
#ifdef _WIN32
  return WorkshopFolderOf(SteamInstallFolder());
#elif defined(__APPLE__)
  return WorkshopFolderOf(Home() / "Library" / "Application Support" / "Steam");
#else
  return WorkshopFolderOf(Home() / ".local" / "share" / "Steam");
#endif
}

Text SettingsText(const Text& workshopFolder) {
  return workshopFolder + "\r\n" + std::string(kDefaultPagePrefix) + "\r\n";
}

bool WriteNewFile(const fs::path& path, std::string_view bytes, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = reason + ": " + text::GbkToUtf8(text::FromNativePath(path));
    return false;
  };
  std::error_code status;
  if (fs::symlink_status(path, status).type() != fs::file_type::not_found) return fail("already exists");
    // Exclusive creation: a file that appears in the meantime is not written over either.
#ifdef _WIN32
  std::FILE* file = _wfopen(path.c_str(), L"wbx");
#else
  std::FILE* file = std::fopen(path.c_str(), "wbx");
#endif
  if (!file) return fail("cannot create");
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    fs::remove(path, status);  // no half-written file is left to be mistaken for a whole one
    return fail("cannot write");
  }
  return true;
}

}  // namespace quorvane::index
