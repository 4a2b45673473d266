#include "base/file_lookup.h"

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::writeFile;

// The exact name wins; another spelling is found; a folder or another name is not a match.
TEST(FindFileNoCase, FindsTheFileInAnySpellingButOnlyAFile) {
  TempDir dir;
  writeFile(dir.path() / "Polygone.DBF", "");
  writeFile(dir.path() / "polygone.dbf", "");
  fs::create_directory(dir.path() / "anmerk.dbt");
  struct Case {
    const char* name;
    const char* found;
  };
  for (const Case& c : {Case{"polygone.dbf", "polygone.dbf"}, Case{"POLYGONE.dbf", "*"},
                        Case{"anmerk.dbt", ""}, Case{"polygone.db", ""}}) {
    const fs::path result = base::findFileNoCase(dir.path(), c.name);
    if (std::string(c.found) == "*")
      EXPECT_TRUE(base::equalsNoCase(result.filename().string(), c.name)) << c.name;
    else
      EXPECT_EQ(result, *c.found ? dir.path() / c.found : fs::path()) << c.name;
  }
}

// An empty folder is the current one, and the answer stays relative as the name was.
TEST(FindFileNoCase, EmptyFolderSearchesTheCurrentOne) {
  TempDir dir;
  writeFile(dir.path() / "Umlaute2.DBF", "");
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  const fs::path result = base::findFileNoCase("", "umlaute2.dbf");
  fs::current_path(before);
  EXPECT_EQ(result, fs::path("Umlaute2.DBF"));
}

// Only ASCII letters fold: the user's locale plays no part.
TEST(EqualsNoCase, FoldsAsciiLettersOnly) {
  EXPECT_TRUE(base::equalsNoCase("AbC.dbf", "aBc.DBF"));
  EXPECT_FALSE(base::equalsNoCase("ä.dbf", "Ä.dbf"));
  EXPECT_FALSE(base::equalsNoCase("ab", "abc"));
}

}  // namespace
