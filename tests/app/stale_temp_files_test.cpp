#include "app/stale_temp_files.h"

#include <gtest/gtest.h>

#include "app/app_fixture.h"
#include "app/run_services.h"

namespace {

namespace fs = std::filesystem;

struct Name {
  const char* name;
  bool ours;
};

class StaleTempName : public ::testing::TestWithParam<Name> {};

TEST_P(StaleTempName, IsRecognised) {
  EXPECT_EQ(app::isStaleTemporaryName(GetParam().name), GetParam().ours) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, StaleTempName,
    ::testing::Values(Name{".123001000011GN.docx.a1B2c3", true},
                      Name{".MessageReport.txt.Zz9x0Q", true}, Name{"123001000011GN.docx", false},
                      Name{".123001000011GN.docx", false},
                      Name{".~lock.123001000011GN.docx#", false}, Name{".notes.txt.a1B2c3", false},
                      Name{".x.docx.a1B2c", false}, Name{".x.docx.a1B2c!", false}));

class StaleTempFiles : public testsupport::AppFixture {};

TEST_F(StaleTempFiles, RunStartRemovesOursInOutputAndTypeFolders) {
  const fs::path out = dir_.path();
  fs::create_directories(out / "GN");
  fs::create_directories(out / "Report");
  const std::vector<std::pair<fs::path, bool>> files{
      {out / ".MessageReport.txt.abcdef", false},
      {out / "GN" / ".1GN.docx.ABC123", false},
      {out / "Report" / ".1Deckblatt.docx.x0x0x0", false},
      {out / "GN" / "1GN.docx", true},
      {out / "GN" / ".eigen.txt", true}};
  for (const auto& [file, kept] : files) testsupport::writeFile(file, "x");
  settings().set(app::kDataFilesPfad, out.string());
  app::removeLeftoversOfKilledRuns(app::RunServices::program());
  for (const auto& [file, kept] : files) EXPECT_EQ(fs::exists(file), kept) << file;
}

}  // namespace
