#include "app/stale_temp_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "app/app_fixture.h"
#include "app/run_services.h"

namespace {

namespace fs = std::filesystem;

// The id of a process that has ended.
std::string deadPid() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return std::to_string(child);
}

class StaleTempFiles : public testsupport::AppFixture {};

// Only names of ours whose run has ended are removed: a user's files that merely look like
// temporary files, and the files of a run still working, stay.
TEST_F(StaleTempFiles, RunStartRemovesOnlyOursOfEndedRuns) {
  const fs::path out = dir_.path() / "out";
  const std::string dead = deadPid(), live = std::to_string(getpid());
  fs::create_directories(out / "GN");
  fs::create_directories(out / "Report");
  const std::vector<std::pair<fs::path, bool>> files{
      {out / (".quelbrix-tmp-" + dead + "-a1B2c3-MessageReport.txt"), false},
      {out / "GN" / (".quelbrix-tmp-" + dead + "-ABC123-1GN.pdf"), false},
      {out / "GN" / (".quelbrix-tmp-" + live + "-ABC123-2GN.docx"), true},
      {out / "GN" / (".quelbrix-tmp-" + dead + "-ABC12-3GN.docx"), true},
      {out / "GN" / ".Bericht.docx.backup", true},
      {out / "Report" / ".Notiz.docx.v2copy", true},
      {out / ".MessageReport.txt.keep01", true}};
  for (const auto& [file, kept] : files) testsupport::writeFile(file, "x");

  // Work folders of ended runs go too, with what they hold; others' and older names stay.
  const fs::path temp = dir_.path() / "tmp";
  const std::vector<std::pair<fs::path, bool>> folders{
      {temp / ("quelbrix-office-" + dead + "-AbC123"), false},
      {temp / ("quelbrix-print-" + live + "-AbC123"), true},
      {temp / "quelbrix-office-AbC123", true}};
  for (const auto& [folder, kept] : folders) {
    fs::create_directories(folder / "profile");
    testsupport::writeFile(folder / "profile" / "x", "x");
  }
  settings().set(app::kDataFilesPfad, out.string());
  const std::string oldTemp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
  setenv("TMPDIR", temp.c_str(), 1);
  app::removeLeftoversOfKilledRuns(app::RunServices::program());
  oldTemp.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", oldTemp.c_str(), 1);
  for (const auto& [file, kept] : files) EXPECT_EQ(fs::exists(file), kept) << file;
  for (const auto& [folder, kept] : folders) EXPECT_EQ(fs::exists(folder), kept) << folder;
}

}  // namespace
