// The PDF conversion through LibreOffice: a missing LibreOffice, and documents from a real
// template turned into readable PDFs by one LibreOffice kept for the run.
#include "print/libre_office.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "app/app_fixture.h"
#include "real_chain.h"
#include "word/cls_word_doc.h"

using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;

class LibreOfficeTest : public testsupport::AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    out_ = dir_.path() / "out";
    fs::create_directories(out_);
    settings().set(app::kDataFilesPfad, out_.string());
  }

  // A complex sheet's document from the built template, as a run writes it.
  fs::path makeDocument(const std::string& code) {
    std::vector<std::string> messages;
    word::clsWordDoc doc;
    EXPECT_EQ(doc.CreateWordApplication(), 100);
    EXPECT_EQ(doc.OpenWordDokument(code + "K", QUELBRIX_TEST_RESOURCES, messages, 12, false, ""),
              100);
    doc.CloseWordDokument();
    doc.DeleteWordApplication();
    return out_ / "K" / (code + "K.docx");
  }

  fs::path out_;
};

TEST_F(LibreOfficeTest, toPdf_programMissing_answersReasonAndWritesNothing) {
  const fs::path document = dir_.path() / "a.docx";
  testsupport::writeFile(document, "PK");
  print::LibreOfficeConverter converter(dir_.path() / "bin" / "soffice");
  std::string reason;
  EXPECT_FALSE(converter.available(reason));
  fs::path pdf;
  reason.clear();
  EXPECT_FALSE(converter.toPdf(document, dir_.path(), pdf, reason));
  EXPECT_THAT(reason, HasSubstr("LibreOffice wurde unter " +
                                (dir_.path() / "bin/soffice").string() + " nicht gefunden"));
  EXPECT_EQ(converter.instanceStarts(), 0);
  EXPECT_FALSE(fs::exists(dir_.path() / "a.pdf"));
}

TEST_F(LibreOfficeTest, toPdf_missingDocument_answersReason) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  print::LibreOfficeConverter converter;
  fs::path pdf;
  std::string reason;
  EXPECT_FALSE(converter.toPdf(dir_.path() / "fehlt.docx", dir_.path(), pdf, reason));
  EXPECT_EQ(reason,
            "Das Dokument " + (dir_.path() / "fehlt.docx").string() + " wurde nicht gefunden.");
  EXPECT_EQ(converter.instanceStarts(), 0);
}

TEST_F(LibreOfficeTest, toPdf_threeDocuments_oneInstanceWritesReadablePdfsBesideThem) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  std::vector<fs::path> documents;
  for (const char* code : {"123001000011", "123001000021", "456002000031"})
    documents.push_back(makeDocument(code));

  print::LibreOfficeConverter converter;
  std::vector<double> seconds;
  for (const fs::path& document : documents) {
    const auto start = std::chrono::steady_clock::now();
    fs::path pdf;
    std::string reason;
    ASSERT_TRUE(converter.toPdf(document, document.parent_path(), pdf, reason)) << reason;
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    EXPECT_EQ(pdf, fs::path(document).replace_extension(".pdf"));
    EXPECT_TRUE(printtest::looksLikePdf(pdf));
    const std::string text = printtest::pdfText(pdf);
    if (!text.empty()) {
      EXPECT_THAT(text, HasSubstr("Komplexbogen"));
    }
  }
  EXPECT_EQ(converter.instanceStarts(), 1);
  EXPECT_TRUE(converter.instanceRunning());
  RecordProperty("first_conversion_s", std::to_string(seconds[0]));
  RecordProperty("later_conversion_s", std::to_string(seconds[2]));
  std::cout << "conversion seconds: " << seconds[0] << ", " << seconds[1] << ", " << seconds[2]
            << "\n";
  // LibreOffice worked on copies: nothing but the documents and their PDFs lies beside them.
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(out_ / "K")) {
    ++files;
    const std::string ext = entry.path().extension().string();
    EXPECT_TRUE(ext == ".docx" || ext == ".pdf") << entry.path();
  }
  EXPECT_EQ(files, 6u);

  converter.shutdown();
  EXPECT_FALSE(converter.instanceRunning());
}

TEST_F(LibreOfficeTest, toPdf_instanceDiedMidRun_startsAnotherAndGoesOn) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  const fs::path first = makeDocument("123001000011");
  const fs::path second = makeDocument("123001000021");
  print::LibreOfficeConverter converter;
  fs::path pdf;
  std::string reason;
  ASSERT_TRUE(converter.toPdf(first, dir_.path(), pdf, reason)) << reason;
  const pid_t instance = converter.instancePid();
  ASSERT_GT(instance, 0);

  // As a crash would leave it.
  kill(-instance, SIGKILL);
  for (int i = 0; i < 100 && converter.instanceRunning(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

  ASSERT_TRUE(converter.toPdf(second, dir_.path(), pdf, reason)) << reason;
  EXPECT_TRUE(printtest::looksLikePdf(dir_.path() / "123001000021K.pdf"));
  EXPECT_EQ(converter.instanceStarts(), 2);
  EXPECT_TRUE(converter.instanceRunning());
}

}  // namespace
