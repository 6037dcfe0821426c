// A stored page read as lines: a line is the bytes up to the next line feed, without it and without one
// carriage return directly before it. The page is held whole, so one read serves every marker search and
// bytes 0 and 26 are ordinary bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace quorvane::workshop {

struct PageLine {
  std::size_t begin = 0;
  std::size_t end = 0;   // one past the last byte of the line's text
  std::size_t next = 0;  // where the following line begins (the page's size when there is none)
};

class PageLines {
 public:
  explicit PageLines(std::string_view page) : page_(page) {}

  // The first line that holds marker, letters A to Z compared without regard to case.
  std::optional<PageLine> FirstLineHolding(std::string_view marker) const;
  // The first line whose text begins with marker, compared the same way.
  std::optional<PageLine> FirstLineStartingWith(std::string_view marker) const;
  // The line after line, none once the page has ended.
  std::optional<PageLine> LineAfter(const PageLine& line) const;

  std::string_view Text(const PageLine& line) const {
    return page_.substr(line.begin, line.end - line.begin);
  }

 private:
  // Position of the first occurrence of marker at or after from, npos when none.
  std::size_t Find(std::string_view marker, std::size_t from) const;
  PageLine LineAround(std::size_t at) const;

  std::string_view page_;
};

}  // namespace quorvane::workshop
