#include "text/Encoding.h"

#include <iconv.h>

#include <cerrno>

namespace quorvane::text {
namespace {

// One converter per direction and thread, reset before each use: opening one costs more than a
// conversion of a short text.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of input; on a sequence that does not convert, calls onError(position) which returns
  // the replacement and how many input bytes to skip, or fails the whole conversion when it returns false.
  template <typename OnError>
  bool Convert(std::string_view input, std::string& output, OnError onError) {
    output.clear();
    if (!valid()) return false;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    std::string buffer(input.size() * 4 + 16, '\0');
    while (inLeft > 0) {
      char* out = buffer.data();
      size_t outLeft = buffer.size();
      const size_t rc = iconv(handle_, &in, &inLeft, &out, &outLeft);
      output.append(buffer.data(), buffer.size() - outLeft);
      if (rc != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) continue;
      std::string replacement;
      size_t skip = 0;
      if (!onError(replacement, skip)) return false;
      output += replacement;
      skip = std::min(skip, inLeft);
      in += skip;
      inLeft -= skip;
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    char* out = buffer.data();
    size_t outLeft = buffer.size();
    iconv(handle_, nullptr, nullptr, &out, &outLeft);
    output.append(buffer.data(), buffer.size() - outLeft);
    return true;
  }

 private:
  iconv_t handle_;
};

Converter& Utf8ToGb18030() {
  thread_local Converter converter("GB18030", "UTF-8");
  return converter;
}

Converter& Gb18030ToUtf8() {
  thread_local Converter converter("UTF-8", "GB18030");
  return converter;
}

}  // namespace

Text Utf8ToGbk(std::string_view utf8) {
  Text gbk;
  if (utf8.empty()) return gbk;
  if (!Utf8ToGb18030().Convert(utf8, gbk, [](std::string&, size_t&) { return false; })) return {};
  const auto zero = gbk.find('\0');
  if (zero != Text::npos) gbk.resize(zero);
  return gbk;
}

Text Utf8ToGbkLenient(std::string_view utf8) {
  Text gbk;
  Utf8ToGb18030().Convert(utf8, gbk, [](std::string&, size_t& skip) {
    skip = 1;
    return true;
  });
  return gbk;
}

std::string GbkToUtf8(std::string_view gbk) {
  std::string utf8;
  Gb18030ToUtf8().Convert(gbk, utf8, [](std::string& replacement, size_t& skip) {
    replacement = "\xEF\xBF\xBD";
    skip = 1;
    return true;
  });
  return utf8;
}

Text JoinPath(std::string_view folder, std::string_view name) {
  Text path(folder);
  path += kPathSeparator;
  path += name;
  return path;
}

std::filesystem::path ToNativePath(std::string_view gbk) {
  const std::string utf8 = GbkToUtf8(gbk);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

Text FromNativePath(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return Utf8ToGbkLenient(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

}  // namespace quorvane::text
