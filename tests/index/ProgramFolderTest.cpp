#include "index/ProgramFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "index/Workspace.h"
#include "text/Encoding.h"

namespace quorvane::index {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCurrentLayout = R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/ann/.local/share/Steam"
		"label"		""
		"apps"
		{
			"228980"		"123"
		}
	}
	"1"
	{
		"path"		"/mnt/games/SteamLibrary"
		"apps"
		{
			"255710"		"4567"
			"440"		"1"
		}
	}
}
)";

TEST(ParseLibraryFolders, ReadsBothLayoutsAndStopsAtAFault) {
  const struct {
    const char* name;
    std::string vdf;
    std::vector<SteamLibrary> libraries;
  } cases[] = {
      {"current layout",
       kCurrentLayout,
       {{"/home/ann/.local/share/Steam", {"228980"}}, {"/mnt/games/SteamLibrary", {"255710", "440"}}}},
      {"older layout: bare paths among other settings",
       "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1690000000\"\n\t\"ContentStatsID\"\t\t\"-1\"\n"
       "\t\"1\"\t\t\"D:\\\\SteamLibrary\"\n}\n",
       {{"D:\\SteamLibrary", {}}}},
      {"escapes, comments, conditions and unquoted tokens",
       "// written by Steam\nlibraryfolders { \"0\" { path \"C:\\\\Program Files (x86)\\\\Steam\" [$WIN32]\n"
       "\"apps\" { \"255710\" \"1\" } } }",
       {{"C:\\Program Files (x86)\\Steam", {"255710"}}}},
      {"cut off inside the second library",
       "\"libraryfolders\" { \"0\" { \"path\" \"/a\" } \"1\" { \"path\" \"/b\" \"apps\" { \"255710\"",
       {{"/a", {}}, {"/b", {}}}},
      {"a stray closing brace ends the reading",
       "\"libraryfolders\" { \"0\" { \"path\" \"/a\" } } } \"libraryfolders\" { \"0\" { \"path\" \"/b\" } }",
       {{"/a", {}}}},
      {"nested far too deep", std::string(100000, '{'), {}},
      {"another file", "\"AppState\" { \"appid\" \"255710\" }", {}},
      {"empty", "", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseLibraryFolders(c.vdf), c.libraries) << c.name;
}

class FindWorkshopFolderTest : public ::testing::Test {
 protected:
  fs::path SteamApps(const std::string& name) const { return dir.path() / name / "steamapps"; }
  fs::path WorkshopOf(const fs::path& library) const {
    return library / "steamapps" / "workshop" / "content" / "255710";
  }
  void WriteVdf(const std::string& steam, const std::string& vdf) const {
    dir.WriteFile(steam + "/steamapps/libraryfolders.vdf", vdf);
  }
  std::string LibraryEntry(int n, const fs::path& library, const std::string& apps) const {
    return "\"" + std::to_string(n) + "\" { \"path\" \"" + library.string() + "\" \"apps\" { " + apps +
           " } }";
  }

  testing::TempDir dir;
};

TEST_F(FindWorkshopFolderTest, TakesTheLibraryThatListsTheGame) {
  const fs::path other = dir.path() / "other";
  const fs::path games = dir.path() / "games";
  dir.MakeDir("other/steamapps/workshop/content/255710");  // existing, but the listing wins
  WriteVdf("steam", "\"libraryfolders\" { " + LibraryEntry(0, other, "\"440\" \"1\"") + " " +
                        LibraryEntry(1, games, "\"255710\" \"1\"") + " }");
  EXPECT_EQ(FindWorkshopFolder({SteamApps("none"), SteamApps("steam")}), WorkshopOf(games));
}

TEST_F(FindWorkshopFolderTest, FallsBackToALibraryThatHoldsTheFolder) {
  const fs::path old = dir.path() / "old";
  dir.MakeDir("old/steamapps/workshop/content/255710");
  WriteVdf("steam", "\"LibraryFolders\" { \"1\" \"" + old.string() + "\" }");
  EXPECT_EQ(FindWorkshopFolder({SteamApps("steam")}), WorkshopOf(old));

  // No file at all: the steamapps folder's own library counts.
  dir.MakeDir("bare/steamapps/workshop/content/255710");
  EXPECT_EQ(FindWorkshopFolder({SteamApps("bare")}), WorkshopOf(dir.path() / "bare"));
}

TEST_F(FindWorkshopFolderTest, FindsNothingWithoutTheGame) {
  WriteVdf("steam", "\"libraryfolders\" { " + LibraryEntry(0, dir.path() / "x", "\"440\" \"1\"") + " }");
  WriteVdf("broken", "\"libraryfolders\" { \"0\" {");
  EXPECT_EQ(FindWorkshopFolder({SteamApps("steam"), SteamApps("broken"), SteamApps("none")}), std::nullopt);
  EXPECT_EQ(FindWorkshopFolder({}), std::nullopt);
}

TEST(SettingsFile, HoldsTheFolderAndThePrefixInGbkAndIsNeverWrittenOver) {
  testing::TempDir dir;
  const fs::path folder = fs::path(u8"/home/用户/Steam/steamapps/workshop/content/255710");
  const fs::path settings = dir.path() / "CSLinfo.txt";
  ASSERT_TRUE(WriteNewFile(settings, SettingsText(text::FromNativePath(folder))));
  EXPECT_EQ(dir.ReadFile("CSLinfo.txt"),
            "/home/\xD3\xC3\xBB\xA7/Steam/steamapps/workshop/content/255710\r\n" +
                std::string(kDefaultPagePrefix) + "\r\n");

  std::string error;
  EXPECT_FALSE(WriteNewFile(settings, "other", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(dir.ReadFile("CSLinfo.txt").substr(0, 6), "/home/");
  dir.MakeDir("folder");
  EXPECT_FALSE(WriteNewFile(dir.path() / "folder", "x"));
  EXPECT_TRUE(fs::is_directory(dir.path() / "folder"));
  EXPECT_FALSE(WriteNewFile(dir.path() / "missing" / "CSLinfo.txt", "x"));
}

#ifdef __linux__
// What the build writes on Linux: Steam's own file under the home folder, else the usual place.
TEST(SteamAppsFolders, AreReadUnderTheHomeFolder) {
  testing::TempDir home;
  const char* saved = std::getenv("HOME");
  const std::string previousHome = saved ? saved : "";
  setenv("HOME", home.path().c_str(), 1);
  const auto before = FindWorkshopFolder(SteamAppsFolders());
  const fs::path usual = UsualWorkshopFolder();
  home.WriteFile(".local/share/Steam/steamapps/libraryfolders.vdf",
                 "\"libraryfolders\" { \"0\" { \"path\" \"/srv/lib\" \"apps\" { \"255710\" \"9\" } } }");
  const auto after = FindWorkshopFolder(SteamAppsFolders());
  setenv("HOME", previousHome.c_str(), 1);

  EXPECT_EQ(before, std::nullopt);
  EXPECT_EQ(usual, home.path() / ".local/share/Steam/steamapps/workshop/content/255710");
  EXPECT_EQ(after, fs::path("/srv/lib/steamapps/workshop/content/255710"));
}
#endif

}  // namespace
}  // namespace quorvane::index
