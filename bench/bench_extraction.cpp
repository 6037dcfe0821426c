// Extraction at scale: ExtractModInfo and then ExtractPreviewAddresses over 5,000 stored pages of about
// 150 KB whose markers sit near the end, beside `cat` of the same files with a warm cache, measured in the
// same run. The window double's pauses return at once, so the times are work only.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchClock.h"
#include "FakeModList.h"
#include "FakeWindow.h"
#include "TempDir.h"
#include "workshop/ModInfo.h"
#include "workshop/PreviewAddress.h"

namespace {

namespace fs = std::filesystem;
using quorvane::bench::Clock;
using quorvane::index::ModIndex;
using quorvane::index::Workspace;
using quorvane::testing::FakeModList;
using quorvane::testing::FakeWindow;
using quorvane::testing::TempDir;
using quorvane::window::Control;

using quorvane::bench::MsSince;
using quorvane::bench::PeakRssMb;

// About 150 KB of markup, many tags per line, with the blocks the steps look for near the end.
std::string MakePage(int n) {
  std::string page = "<!DOCTYPE html>\n<html>\n<head>\n";
  const std::string filler =
      "<div class=\"responsive_page_content\"><a href=\"https://example/x\">menu "
      "item</a><span>text</span></div>\n";
  while (page.size() < 140 * 1024) page += filler;
  page += "<link rel=\"image_src\" href=\"https://images.example/ugc/" + std::to_string(n) +
          "/ABCDEF/\"><!-- preview -->  \n";
  page += "<title>Steam Workshop :: Mod number " + std::to_string(n) + "</title>\n";
  page += "<div class=\"linkAuthor\"><a href=\"https://example/id/a/myworkshopfiles/?appid=255710\">Author " +
          std::to_string(n % 97) + "</a></div></div>\n";
  page += "<div class=\"detailBox altFooter\">\n\t<div class=\"detailBox\">\n";
  page += "<div class=\"workshopItemDescription\" id=\"highlightContent\">";
  for (int i = 0; i < 40; ++i) page += "A line of the description.<br>";
  page += "</div>\n";
  while (page.size() < 150 * 1024) page += filler;
  return page + "</html>\n";
}

}  // namespace

int main() {
  constexpr int kPages = 5'000;
  TempDir program;
  TempDir workshop;
  quorvane::index::CreateEmptyIndexFile((program.path() / "CSLmod.edb").string());
  ModIndex table;
  FakeModList list;
  FakeWindow window;
  Workspace workspace{table, list, window, program.text()};
  window.SetText(Control::WorkshopFolderBox, workshop.text());

  auto start = Clock::now();
  table.Open(workspace.TablePath());
  std::string listFile = (workshop.path() / "pages.txt").string();
  std::ofstream names(listFile);
  for (int r = 1; r <= kPages; ++r) {
    const std::string id = std::to_string(100000 + r);
    table.AddRecord(r, id);
    list.AddRow({std::to_string(r), id});
    workshop.WriteFile(id + "/" + id + ".info.txt", MakePage(r));
    names << (workshop.path() / id / (id + ".info.txt")).string() << '\n';
  }
  names.close();
  table.CloseAll();
  std::printf("set-up: %d pages in %.0f ms\n", kPages, MsSince(start));

  // cat of every page, twice: the first warms the cache, the second is the reference.
  const std::string cat = "xargs cat < '" + listFile + "' > /dev/null";
  if (std::system(cat.c_str()) != 0) std::printf("!! cat failed\n");
  start = Clock::now();
  if (std::system(cat.c_str()) != 0) std::printf("!! cat failed\n");
  const double catMs = MsSince(start);

  start = Clock::now();
  quorvane::workshop::ExtractModInfo(workspace);
  const double infoMs = MsSince(start);
  start = Clock::now();
  quorvane::workshop::ExtractPreviewAddresses(workspace);
  const double previewMs = MsSince(start);

  table.Open(workspace.TablePath());
  table.GoTo(kPages);
  const bool filled = !table.ReadText(quorvane::index::kAuthor).empty() &&
                      !table.ReadText(quorvane::index::kPreviewUrl).empty() &&
                      !table.ReadText(quorvane::index::kFirstDescription).empty();
  table.CloseAll();

  std::printf("%-44s %9.1f ms\n", "ExtractModInfo", infoMs);
  std::printf("%-44s %9.1f ms\n", "ExtractPreviewAddresses", previewMs);
  std::printf("%-44s %9.1f ms\n", "cat of the same pages, warm (reference)", catMs);
  std::printf("%-44s %9.2fx  (target <= 2)\n", "both steps / cat", (infoMs + previewMs) / catMs);
  std::printf("%-44s %9s\n", "last record filled", filled ? "yes" : "NO");
  std::printf("%-44s %9ld MB\n", "peak RSS", PeakRssMb());
  return 0;
}
