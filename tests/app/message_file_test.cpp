#include "app/message_file.h"

#include "app/app_fixture.h"

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
  auto written = app::writeMessageFile({"Erste Meldung mit Ä", "Zweite"});
  EXPECT_EQ(written, file());
  EXPECT_EQ(readFile(file()), "Erste Meldung mit Ä\r\nZweite\r\n");
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_EQ(ui().boxes[0].icon, app::MessageIcon::Warning);
  EXPECT_EQ(ui().boxes[0].text,
            "Es sind Fehler aufgetreten. Weitere Informationen erhalten Sie über die Datei:\n" +
                file().string());
}

TEST_F(MessageFileTest, Write_NoMessagesRemovesReadOnlyOldFile) {
  settings().set(app::kDataFilesPfad, dir_.str());
  writeFile(file(), "alt\r\n");
  std::filesystem::permissions(file(), std::filesystem::perms::owner_read);
  EXPECT_TRUE(app::writeMessageFile({}).empty());
  EXPECT_FALSE(std::filesystem::exists(file()));
  EXPECT_TRUE(ui().boxes.empty());
}

TEST_F(MessageFileTest, Write_MissingFolderStillWarnsWithEmptyPath) {
  settings().set(app::kDataFilesPfad, (dir_.path() / "fehlt").string());
  EXPECT_TRUE(app::writeMessageFile({"Meldung"}).empty());
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_EQ(ui().boxes[0].text,
            "Es sind Fehler aufgetreten. Weitere Informationen erhalten Sie über die Datei:\n");
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "fehlt"));
}

}  // namespace
