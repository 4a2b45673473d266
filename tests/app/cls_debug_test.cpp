#include "app/cls_debug.h"

#include <sys/stat.h>

#include <clocale>
#include <regex>

#include "app/app_fixture.h"
#include "app/output_folder_lock.h"
#include "app/startup.h"

namespace {

using testsupport::AppFixture;
using testsupport::readFile;

class LogTest : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    std::setlocale(LC_ALL, "de_DE.UTF-8");
  }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    AppFixture::TearDown();
  }
};

// An earlier run's log is overwritten; a second Init writes no second banner.
TEST_F(LogTest, Init_WritesBannerAndLinesInHouseFormat) {
  settings().set(app::kDataFilesPfad, dir_.str());
  testsupport::writeFile(dir_.path() / "FehlerReport2.log", "alt\r\nalt\r\n");
  {
    app::clsDebug log(settings());
    ASSERT_TRUE(log.Init());
    log.Ausgabe(2, "SetTextMarke: Fehler! Es ist zur Zeit kein WordDokument aktiv.");
    ASSERT_TRUE(log.Init());
    log.Ausgabe(3, "");
    log.Ausgabe(2, "Wert 'a\x1b[1A\nb' ungültig");  // a table's text: one line, nothing sent
  }
  auto lines = logLines(dir_.path());
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "D1 #" + std::string(70, '+'));
  EXPECT_EQ(lines[1], "D1 # Tarnholm Quelbrix 2.3.9");
  EXPECT_TRUE(std::regex_match(
      lines[2], std::regex(R"(D1 # Programmstart: \d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d)")))
      << lines[2];
  EXPECT_EQ(lines[3], lines[0]);
  EXPECT_EQ(lines[4], "D1 ");
  EXPECT_EQ(lines[5], "D2 SetTextMarke: Fehler! Es ist zur Zeit kein WordDokument aktiv.");
  EXPECT_EQ(lines[6], "D3 ");
  EXPECT_EQ(lines[7], "D2 Wert 'a␛[1A␊b' ungültig");
  EXPECT_TRUE(std::regex_match(
      lines[8], std::regex(R"(D1 Programm beendet \d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d)")))
      << lines[8];
}

TEST_F(LogTest, Init_WithoutUsableFolderOrStartNothingIsWritten) {
  app::clsDebug unset(settings());
  EXPECT_FALSE(unset.Init());
  settings().set(app::kDataFilesPfad, (dir_.path() / "fehlt").string());
  app::clsDebug missing(settings());
  EXPECT_FALSE(missing.Init());
  missing.Ausgabe(2, "geht verloren");
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "fehlt"));
  settings().set(app::kDataFilesPfad, dir_.str());
  { app::clsDebug unstarted(settings()); }
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "FehlerReport2.log"));
  {
    app::clsDebug log(settings());
    ASSERT_TRUE(log.Init());
    std::filesystem::remove(dir_.path() / "FehlerReport2.log");
    log.Ausgabe(2, "verloren");  // a deleted log is not created again
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "FehlerReport2.log"));
  if (geteuid() != 0) {  // root writes anywhere
    std::filesystem::permissions(
        dir_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    app::clsDebug readOnly(settings());
    EXPECT_FALSE(readOnly.Init());
  }
}

TEST_F(LogTest, StartLog_FollowsInvertedErrorReportSettingAndTellsMissingFolder) {
  settings().set(app::kDataFilesPfad, (dir_.path() / "fehlt").string());
  for (const char* off : {"", "1", "7", "aus"}) {
    settings().set(app::kErrorReport, off);
    EXPECT_FALSE(app::startLogIfEnabled()) << off;
  }
  EXPECT_TRUE(ui().boxes.empty());  // switched off: the missing folder does not matter
  settings().set(app::kErrorReport, "0");
  EXPECT_FALSE(app::startLogIfEnabled());
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_EQ(ui().boxes[0].icon, app::MessageIcon::None);
  EXPECT_EQ(ui().boxes[0].text,
            "Die Fehleranalyse konnte nicht gestartet werden. Bitte überprüfen Sie die "
            "Einstellung der Pfade.");
  settings().set(app::kDataFilesPfad, dir_.str());
  EXPECT_TRUE(app::startLogIfEnabled());
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "FehlerReport2.log"));
}

// A link or a pipe planted at the log's name is neither followed nor opened (a pipe would block
// for good): the program goes on without a log and says why. A log that a run in the same
// folder is writing (another program on a shared folder) is continued, not cut off.
TEST_F(LogTest, Init_PlantedLinkOrPipeRefusedAndRunningLogContinued) {
  namespace fs = std::filesystem;
  const fs::path log = dir_.path() / "FehlerReport2.log", victim = dir_.path() / "victim";
  settings().set(app::kDataFilesPfad, dir_.str());
  settings().set(app::kErrorReport, "0");
  testsupport::writeFile(victim, "D1 andere\r\n");
  for (const bool pipe : {false, true}) {
    fs::remove(log);
    if (!pipe) fs::create_symlink(victim, log);
    ASSERT_TRUE(!pipe || mkfifo(log.c_str(), 0600) == 0);
    EXPECT_FALSE(app::startLogIfEnabled());
    EXPECT_EQ(lastBox(), "Die Fehleranalyse konnte nicht gestartet werden: " + log.string() +
                             ": ist keine gewöhnliche Datei (etwa eine Verknüpfung oder eine "
                             "Pipe).\nEs wird ohne Fehlerprotokoll weitergearbeitet.");
  }
  fs::remove(log);
  fs::rename(victim, log);
  const app::OutputFolderLock other(dir_.path());
  ASSERT_TRUE(app::startLogIfEnabled());
  EXPECT_EQ(logLines(dir_.path()).at(0), "D1 andere");
  EXPECT_EQ(logLines(dir_.path()).size(), 6u);
}

}  // namespace
