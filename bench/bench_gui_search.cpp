// The field search at scale, through the real window and list: fuzzy FindByField on 名称 and on MOD信息
// over 100,000 rows with 1 KB descriptions, once with a text that finds a few rows and once with one that
// finds half of them, beside `grep -c -F -i` over the same texts written one row a line, in the same run.
// Each search is timed until the view holds its selection and scroll position and has repainted: once with
// the real window (its log pane takes the found serials, 340 KB of text at 50,000 rows), and once with the
// log going to the window double, which shows what the search and the list cost without the log pane.
#include <sys/resource.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "FakeWindow.h"
#include "NoDialogs.h"
#include "TempDir.h"
#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "app/ModListView.h"
#include "index/ModIndex.h"
#include "search/FieldSearch.h"
#include "text/Text.h"

namespace {

using quorvane::app::MainWindow;
using quorvane::bench::Clock;
using quorvane::text::Gbk;
using quorvane::text::Text;
using quorvane::window::Control;

constexpr int kRows = 100'000;
constexpr int kRuns = 5;
constexpr int kDescriptionPieceBytes = 128;  // eight pieces: 1 KB

using quorvane::bench::NoDialogs;

using quorvane::bench::MsSince;
using quorvane::bench::PeakRssMb;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Words of mixed case, so that the folding is exercised, and line breaks as the pages have them.
std::string Words(std::mt19937& random, size_t bytes) {
  static const char* kWords[] = {"Road",      "traffic", "Mod",     "asset", "Building", "zone",
                                 "park",      "Rail",    "metro",   "Bus",   "tunnel",   "bridge",
                                 "ploppable", "LOD",     "texture", "<br>"};
  std::string text;
  while (text.size() < bytes) {
    text += kWords[random() % std::size(kWords)];
    text += ' ';
  }
  text.resize(bytes);
  return text;
}

// Puts the marker at a random place of the text, keeping its length.
void Plant(std::mt19937& random, std::string& text, const std::string& marker) {
  const size_t at = random() % (text.size() - marker.size());
  text.replace(at, marker.size(), marker);
}

struct Query {
  const char* choice;  // UTF-8
  const char* what;
  std::string text;
  std::string greppedFile;
};

long long Grep(const Query& query, double* ms) {
  const std::string command = "LC_ALL=C grep -c -F -i -- '" + query.text + "' " + query.greppedFile;
  const auto start = Clock::now();
  FILE* pipe = popen(command.c_str(), "r");
  long long count = -1;
  if (pipe) {
    if (std::fscanf(pipe, "%lld", &count) != 1) count = -1;
    pclose(pipe);
  }
  *ms = MsSince(start);
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  NoDialogs dialogs;
  quorvane::index::ModIndex table;
  MainWindow window(dialogs);
  quorvane::index::Workspace workspace{table, window.List(), window, {}};
  window.AttachWorkspace(&workspace);
  window.show();
  QApplication::processEvents();
  quorvane::app::ModListView& list = window.List();

  quorvane::testing::TempDir folder;
  const std::string namesFile = (folder.path() / "names.txt").string();
  const std::string descriptionsFile = (folder.path() / "descriptions.txt").string();
  std::ofstream names(namesFile, std::ios::binary);
  std::ofstream descriptions(descriptionsFile, std::ios::binary);
  std::mt19937 random(2015);
  for (int row = 0; row < kRows; ++row) {
    list.InsertRow(std::to_string(row + 1));
    list.SetCellText(row, 1, std::to_string(400000000 + row));
    std::string name = Words(random, 40);
    std::string description = Words(random, 8 * kDescriptionPieceBytes);
    if (row % 2 == 0) {
      Plant(random, name, "HalfWay");
      Plant(random, description, "HalfWay");
    }
    if (row % 20000 == 7) {
      Plant(random, name, "Qzx Rare");
      Plant(random, description, "Qzx Rare");
    }
    list.SetCellText(row, 2, name);
    for (int piece = 0; piece < 8; ++piece) {
      list.SetCellText(row, 6 + piece,
                       description.substr(piece * kDescriptionPieceBytes, kDescriptionPieceBytes));
    }
    names << name << '\n';
    descriptions << description << '\n';
  }
  names.close();
  descriptions.close();
  list.Flush();
  QApplication::processEvents();

  const Query queries[] = {
      {"名称", "a few rows", "qzx rare", namesFile},
      {"名称", "half the rows", "halfway", namesFile},
      {"MOD信息", "a few rows", "qzx rare", descriptionsFile},
      {"MOD信息", "half the rows", "halfway", descriptionsFile},
  };
  quorvane::testing::FakeWindow logless;
  struct Target {
    quorvane::window::Window* window;
    const char* name;
  } targets[] = {{&window, "real window"}, {&logless, "log to double"}};
  std::printf("FindByField, fuzzy, %d rows with 1 KB descriptions, through the Qt list; median of %d runs\n",
              kRows, kRuns);
  bool withinTarget[2] = {true, true};
  for (const Query& query : queries) {
    for (int t = 0; t < 2; ++t) {
      quorvane::window::Window& searchWindow = *targets[t].window;
      std::vector<double> searchMs, grepMs;
      long long found = 0, grepped = 0;
      for (int run = 0; run < kRuns; ++run) {
        searchWindow.SetText(Control::SearchFieldCombo, Gbk(query.choice));
        searchWindow.SetText(Control::SearchTextBox, query.text);
        const auto start = Clock::now();
        quorvane::search::FindByField(list, searchWindow);
        list.Flush();
        QApplication::processEvents();
        searchMs.push_back(MsSince(start));
        found = list.SelectedCount();
        double ms = 0;
        grepped = Grep(query, &ms);
        grepMs.push_back(ms);
      }
      const double ratio = Median(searchMs) / Median(grepMs);
      withinTarget[t] = withinTarget[t] && ratio <= 3.0 && found == grepped;
      std::printf(
          "  %-8s %-14s %-14s found %6lld (grep %6lld)  search %8.1f ms  grep %7.1f ms  ratio %5.2f\n",
          query.choice, query.what, targets[t].name, found, grepped, Median(searchMs), Median(grepMs), ratio);
    }
  }
  std::printf(
      "  peak memory %ld MB; target (at most 3 times grep, same counts): real window %s, log to double %s\n",
      PeakRssMb(), withinTarget[0] ? "met" : "NOT met", withinTarget[1] ? "met" : "NOT met");
  return 0;
}
