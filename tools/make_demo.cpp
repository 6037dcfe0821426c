// Lays out a demo workspace for a first run without Steam: a program folder with an indexed table and a
// settings file, and a Workshop folder of a dozen items, each with a stored page in the Workshop page layout
// the extraction reads, a generated preview picture and a few nested sub-folders.
//
//   make_demo <demo folder>     (the program is copied there by scripts/run --demo)
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "index/ModIndex.h"
#include "index/Workspace.h"
#include "text/Encoding.h"

namespace {

namespace fs = std::filesystem;

struct DemoMod {
  const char* id;
  const char* name;
  const char* author;
  const char* description;  // keeps the page's markup, "<br>" line breaks included
  unsigned color;
};

const std::vector<DemoMod> kMods = {
    {"400001", "Quiet Roads", "Ann", "Lowers traffic noise.<br><br>Works with every map.", 0x3b7dd8},
    {"400002", "Move It Lite", "Bob", "Move props and nodes by hand.<br>Hold Shift for fine steps.",
     0xd8843b},
    {"400003", "Park Life Benches", "Ann", "Twelve benches for parks and plazas.", 0x4caf50},
    {"400004", "Tram Stops Plus", "Bobby", "Tram stops that fit narrow streets.<br>Needs the tram DLC.",
     0x9c27b0},
    {"400005", "水岸步道", "小林", "沿河步道资源包。<br>包含十二种护栏。", 0x00897b},
    {"400006", "Night Lights", "xBOBx", "Warmer street lights at night.", 0xf4b400},
    {"400007", "Harbor Cranes", "Cleo", "Animated cranes for cargo harbors.<br><br>Two sizes.", 0x607d8b},
    {"400008", "Bike Lanes Everywhere", "Ann", "Adds painted bike lanes to six road types.", 0xe53935},
    {"400009", "Old Town Houses", "Dmitri", "Growable row houses, levels 1 to 5.", 0x795548},
    {"400010", "Snowy Pines", "Cleo", "Pine trees with snow on their branches.", 0x2e7d32},
    {"400011", "Metro Depot", "Eve", "A compact metro depot for tight spaces.", 0x3949ab},
    {"400012", "Removed Item", "", "", 0x9e9e9e},  // a page without the author block: marked invalid
};

void WriteFile(const fs::path& file, const std::string& content) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

// The markers and the bytes around them are what the extraction cuts at.
std::string PageFor(const DemoMod& mod, const std::string& previewBase) {
  std::string page = "<!DOCTYPE html>\n<html>\n<head>\n";
  page += std::string("<title>Steam Workshop :: ") + mod.name + "</title>\n";
  page += "<link rel=\"image_src\" href=\"" + previewBase + "\"><!-- preview -->  \n";
  page += "</head>\n<body>\n";
  if (*mod.author != '\0') {
    page += std::string("\t<div class=\"linkAuthor\"><a href=\"http://127.0.0.1/id/demo/?appid=255710\">") +
            mod.author + "</a></div>      \n";
  }
  page += "<div class=\"detailBox altFooter\">\n";
  page += "<div class=\"workshopItemDescriptionTitle\">Description</div>\n";
  page += std::string("<div class=\"workshopItemDescription\" id=\"highlightContent\">") + mod.description +
          "</div>\n";
  page += "</body>\n</html>\n";
  return page;
}

bool WritePreview(const fs::path& file, const DemoMod& mod) {
  QImage image(637, 358, QImage::Format_RGB32);
  image.fill(QColor::fromRgb(mod.color));
  QPainter painter(&image);
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setPixelSize(44);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(image.rect().adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap,
                   QString::fromUtf8(mod.name));
  painter.end();
  return image.save(QString::fromStdString(file.string()), "JPG", 85);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo <demo folder>\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  using namespace quorvane;

  const fs::path demo = fs::absolute(argv[1]);
  const fs::path workshop = demo / "workshop" / "content" / "255710";
  std::error_code error;
  fs::remove_all(demo / "workshop", error);
  fs::remove(demo / "CSLmod.edb", error);
  fs::remove(demo / "CSLmod.edb-wal", error);
  fs::remove(demo / "CSLmod.edb-shm", error);
  fs::create_directories(workshop);

  for (const DemoMod& mod : kMods) {
    const fs::path folder = workshop / mod.id;
    fs::create_directories(folder / "Assets" / "Textures" / "Hi-res");
    fs::create_directories(folder / "Empty folder");
    WriteFile(folder / "Assets" / "readme.txt", std::string(mod.name) + "\n");
    WriteFile(folder / "Assets" / "Textures" / "Hi-res" / "texture.dat", std::string(4096, '\x5a'));
    const std::string previewBase = "http://127.0.0.1:9/ugc/" + std::string(mod.id) + "/";
    WriteFile(folder / (std::string(mod.id) + ".info.txt"), PageFor(mod, previewBase));
    if (!WritePreview(folder / (std::string(mod.id) + ".jpg"), mod)) {
      std::fprintf(stderr, "make_demo: could not write the preview of %s\n", mod.id);
      return 1;
    }
  }

  const std::string table = (demo / "CSLmod.edb").string();
  std::string why;
  if (!index::CreateEmptyIndexFile(table, &why)) {
    std::fprintf(stderr, "make_demo: %s\n", why.c_str());
    return 1;
  }
  index::ModIndex index;
  index.Open(text::FromNativePath(table));
  long long serial = 0;
  for (const DemoMod& mod : kMods) index.AddRecord(++serial, mod.id);
  index.CloseAll();

  const std::string settings =
      text::FromNativePath(workshop) + "\r\n" + std::string(index::kDefaultPagePrefix) + "\r\n";
  WriteFile(demo / "CSLinfo.txt", settings);
  std::printf("make_demo: %zu items under %s\n", kMods.size(), workshop.string().c_str());
  return 0;
}
