#include "app/message_file.h"

#include <gmock/gmock.h>

#include <sstream>

#include "app/app_fixture.h"
#include "app/run_services.h"
#include "app/user_interface.h"
#include "support/read_only_folder.h"

using ::testing::HasSubstr;
using namespace std::string_literals;

namespace {

using testsupport::AppFixture;
using testsupport::readFile;
using testsupport::writeFile;

class MessageFileTest : public AppFixture {
 protected:
  std::filesystem::path file() const { return dir_.path() / "MessageReport.txt"; }
};

TEST_F(MessageFileTest, Write_MessagesBecomeCrLfLinesAndWarningBox) {
  settings().set(app::kDataFilesPfad, dir_.str());
  writeFile(file(), "alte Meldung\r\nnoch eine\r\ndritte\r\n");
  // Control characters from a table are shown, one message stays one line; other signs stay.
  auto written =
      app::writeMessageFile({"Erste Meldung mit Ä", "Zweite",
                             "'1\x07\x1b[2J\0\x7f' ist\r\nfalsch \xC2\x9B\xE2\x80\xAE „Ž” ™ €"s},
                            app::RunServices::program());
  EXPECT_EQ(written.file, file());
  EXPECT_EQ(written.error, "");
  EXPECT_EQ(readFile(file()),
            "Erste Meldung mit Ä\r\nZweite\r\n'1␇␛[2J␀␡' ist␍␊falsch <U+009B><U+202E> „Ž” ™ €\r\n");
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_EQ(ui().boxes[0].icon, app::MessageIcon::Warning);
  EXPECT_EQ(ui().boxes[0].text,
            "Es sind Fehler aufgetreten. Weitere Informationen erhalten Sie über die Datei:\n" +
                file().string());
}

// Notes follow the messages; notes alone are no error, the box only says where they are.
TEST_F(MessageFileTest, Write_NotesFollowMessagesAndAloneAreNoError) {
  settings().set(app::kDataFilesPfad, dir_.str());
  app::writeMessageFile({"Meldung"}, {"Anmerkung"}, app::RunServices::program());
  EXPECT_EQ(readFile(file()), "Meldung\r\nHinweis: Anmerkung\r\n");
  EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Warning);
  const auto outcome = app::writeMessageFile({}, {"Anmerkung"}, app::RunServices::program());
  EXPECT_EQ(outcome.file, file());
  EXPECT_EQ(readFile(file()), "Hinweis: Anmerkung\r\n");
  EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Information);
  EXPECT_EQ(ui().boxes.back().text,
            "Hinweise zu den Daten stehen in der Datei:\n" + file().string());
}

// On the terminal a message keeps its lines, but a table's control characters do nothing.
TEST(ConsoleUserInterface, ControlCharactersShownNotSent) {
  std::ostringstream err;
  app::ConsoleUserInterface console(err);
  console.message(app::MessageIcon::Error, "Bogentyp 'F\x1b]0;x\x07' unbekannt.\nZweite Zeile");
  EXPECT_EQ(err.str(), "Fehler: Bogentyp 'F␛]0;x␇' unbekannt.\nZweite Zeile\n");
}

TEST_F(MessageFileTest, Write_NoMessagesRemovesReadOnlyOldFile) {
  settings().set(app::kDataFilesPfad, dir_.str());
  writeFile(file(), "alt\r\n");
  std::filesystem::permissions(file(), std::filesystem::perms::owner_read);
  EXPECT_TRUE(app::writeMessageFile({}, app::RunServices::program()).file.empty());
  EXPECT_FALSE(std::filesystem::exists(file()));
  EXPECT_TRUE(ui().boxes.empty());
}

TEST_F(MessageFileTest, Write_MissingFolderSaysSoInsteadOfNamingAFile) {
  settings().set(app::kDataFilesPfad, (dir_.path() / "fehlt").string());
  const auto outcome = app::writeMessageFile({"Meldung"}, app::RunServices::program());
  EXPECT_TRUE(outcome.file.empty());
  EXPECT_EQ(outcome.error,
            "der Ausgabeordner " + (dir_.path() / "fehlt").string() + " existiert nicht");
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_EQ(ui().boxes[0].text.rfind("Es sind Fehler aufgetreten.\nDie Meldungsdatei ", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "fehlt"));
}

// The file cannot take this run's messages (the folder is read-only); the old content must not
// pass for this run's, and no temporary file stays.
TEST_F(MessageFileTest, Write_FailureIsToldAndLeavesNoTemporaryFile) {
  settings().set(app::kDataFilesPfad, dir_.str());
  testsupport::writeFile(file(), "alt\r\n");
  const testsupport::ReadOnlyFolder readOnly(dir_.path());
  if (!readOnly.binding()) GTEST_SKIP() << "file permissions cannot be made to bind";
  const auto outcome = app::writeMessageFile({"Meldung"}, app::RunServices::program());
  EXPECT_TRUE(outcome.file.empty());
  EXPECT_FALSE(outcome.error.empty());
  EXPECT_TRUE(outcome.staleFileLeft);
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_THAT(ui().boxes[0].text, HasSubstr("konnte nicht geschrieben werden"));
  EXPECT_THAT(ui().boxes[0].text,
              HasSubstr("Die vorhandene Datei stammt aus einem früheren Lauf."));
  for (const auto& e : std::filesystem::directory_iterator(dir_.path()))
    EXPECT_EQ(e.path().filename(), "MessageReport.txt");
}

}  // namespace
