// The PDF conversion through LibreOffice: documents from a real template turned into readable
// PDFs by one LibreOffice kept for the run. (A missing LibreOffice: see the print step's tests.)
#include "print/libre_office.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

#include "app/app_fixture.h"
#include "print/converter_pool.h"
#include "print/worker_slot.h"
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

// One LibreOffice kept for the run, reached through its UNO interface: a missing document is
// refused before it starts, three documents become readable PDFs beside them, and an instance
// that died between two documents (as a crash leaves it), hung over a document or died while
// converting it is replaced by another, the document being tried once more.
TEST_F(LibreOfficeTest, toPdf_oneInstanceWritesReadablePdfsAndOutlivesCrashesAndHangs) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  print::LibreOfficeConverter converter;
  fs::path pdf;
  std::string reason;
  EXPECT_FALSE(converter.toPdf(dir_.path() / "fehlt.docx", dir_.path(), pdf, reason));
  EXPECT_EQ(reason,
            "Das Dokument " + (dir_.path() / "fehlt.docx").string() + " wurde nicht gefunden.");
  EXPECT_EQ(converter.instanceStarts(), 0);

  std::vector<double> seconds;
  for (const char* code : {"123001000011", "123001000021", "456002000031"}) {
    const fs::path document = makeDocument(code);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(converter.toPdf(document, document.parent_path(), pdf, reason)) << reason;
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    EXPECT_EQ(pdf, fs::path(document).replace_extension(".pdf"));
    EXPECT_TRUE(printtest::looksLikePdf(pdf));
    EXPECT_THAT(printtest::pdfText(pdf), HasSubstr("Komplexbogen"));
  }
  EXPECT_EQ(converter.instanceStarts(), 1);
  if (printtest::unoMissing().empty() || printtest::mustRun()) {
    EXPECT_TRUE(converter.throughUno());
  }
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

  // How the instance fails: killed between documents, stopped (hung) over one, killed while it
  // works on one; the last two cost the document a second try.
  struct Failure {
    const char* name;
    bool stop;           // SIGSTOP before the conversion
    int killAfterMs;     // SIGKILL this long after the conversion began; -1: at once, before
    int timeoutSeconds;  // the conversion's time limit
    int retries;         // documents tried again so far
  };
  const Failure failures[] = {{"killed between", false, -1, 180, 0},
                              {"hung", true, 0, 4, 1},
                              {"killed during", true, 1000, 60, 2}};
  int starts = 1;
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.name);
    const pid_t instance = converter.instancePid();
    ASSERT_GT(instance, 0);
    converter.setConversionTimeout(std::chrono::seconds(f.timeoutSeconds));
    if (f.stop) kill(-instance, SIGSTOP);
    if (f.killAfterMs < 0) {
      kill(-instance, SIGKILL);
      for (int i = 0; i < 100 && converter.instanceRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::thread killer([&] {
      if (f.killAfterMs <= 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(f.killAfterMs));
      kill(-instance, SIGKILL);
    });
    const auto start = std::chrono::steady_clock::now();
    const bool converted =
        converter.toPdf(out_ / "K" / "123001000011K.docx", dir_.path(), pdf, reason);
    const auto took = std::chrono::steady_clock::now() - start;
    killer.join();
    kill(-instance, SIGKILL);  // the hung one is still there when the time limit ended the wait
    ASSERT_TRUE(converted) << reason;
    EXPECT_TRUE(printtest::looksLikePdf(dir_.path() / "123001000011K.pdf"));
    EXPECT_EQ(converter.instanceStarts(), ++starts);
    EXPECT_EQ(converter.retries(), f.retries);
    EXPECT_LT(took, std::chrono::seconds(f.timeoutSeconds + 60));
    if (f.killAfterMs > 0) {
      EXPECT_LT(took, std::chrono::seconds(f.timeoutSeconds));
    }
    EXPECT_TRUE(converter.instanceRunning());
    fs::remove(dir_.path() / "123001000011K.pdf");
  }
  converter.shutdown();
  EXPECT_FALSE(converter.instanceRunning());
}

// Without Python's uno module (here: a Python that cannot start) each document is handed to the
// kept instance by a `soffice --convert-to` call instead, with the same PDFs.
TEST_F(LibreOfficeTest, toPdf_withoutUno_handsDocumentsOverByCalls) {
  PRINTTEST_REQUIRE(printtest::libreOfficeMissing());
  const fs::path first = makeDocument("123001000011"), second = makeDocument("123001000021");
  setenv("PYTHONHOME", (dir_.path() / "kein-python").c_str(), 1);
  print::LibreOfficeConverter converter;
  fs::path pdf;
  std::string reason;
  for (const fs::path& document : {first, second}) {
    ASSERT_TRUE(converter.toPdf(document, document.parent_path(), pdf, reason)) << reason;
    EXPECT_THAT(printtest::pdfText(pdf), HasSubstr("Komplexbogen"));
  }
  unsetenv("PYTHONHOME");
  EXPECT_FALSE(converter.throughUno());
  EXPECT_EQ(converter.instanceStarts(), 1);
  converter.shutdown();
}

// With the output folder on another file system than the work folder (a USB stick, a network
// share), the PDF is copied in through a temporary file of ours: a link planted at the old
// temporary name or at the PDF's own name is not followed, and the victim keeps its content.
TEST_F(LibreOfficeTest, toPdf_acrossFileSystemsFollowsNoPlantedLink) {
  struct stat shm {};
  struct stat out {};
  if (stat("/dev/shm", &shm) != 0 || stat(out_.c_str(), &out) != 0 || shm.st_dev == out.st_dev)
    GTEST_SKIP() << "no second file system at /dev/shm";
  const std::string oldTemp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
  setenv("TMPDIR", "/dev/shm", 1);
  // A LibreOffice stand-in: writes "<name>.pdf" into --outdir.
  const fs::path fake = dir_.path() / "soffice";
  testsupport::writeFile(fake,
                         "#!/bin/sh\nfor a; do [ \"$p\" = --outdir ] && o=$a; p=$a; done\n"
                         "[ -n \"$o\" ] && n=${p##*/} && printf %s neu > \"$o/${n%.*}.pdf\"\n");
  fs::permissions(fake, fs::perms::owner_all);
  const fs::path document = out_ / "1GN.docx", victim = dir_.path() / "victim";
  testsupport::writeFile(document, "docx");
  testsupport::writeFile(victim, "keep");
  fs::create_symlink(victim, out_ / ".1GN.pdf.part");
  print::LibreOfficeConverter converter(fake);
  fs::path pdf;
  std::string reason;
  ASSERT_TRUE(converter.toPdf(document, out_, pdf, reason)) << reason;
  EXPECT_EQ(testsupport::readFile(out_ / "1GN.pdf"), "neu");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out_ / "1GN.pdf")));
  fs::rename(out_ / ".1GN.pdf.part", out_ / "1GN.pdf");
  EXPECT_FALSE(converter.toPdf(document, out_, pdf, reason));
  EXPECT_THAT(reason, HasSubstr("1GN.pdf konnte nicht geschrieben werden: ist keine gewöhnliche"));
  EXPECT_EQ(testsupport::readFile(victim), "keep");
  EXPECT_EQ(std::distance(fs::directory_iterator(out_), {}), 2);  // the document and the link
  converter.shutdown();
  oldTemp.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", oldTemp.c_str(), 1);
}

// Each worker gets a LibreOffice of its own, the first the one given; with more workers than
// LibreOffices allowed, workers share one, and a second worker waits until the first is done.
TEST(ConverterPoolTest, forThisThread_oneLibreOfficePerWorkerSharedBeyondTheLimit) {
  auto given = std::make_unique<print::LibreOfficeConverter>("/bin/false");
  const print::LibreOfficeConverter* first = given.get();
  print::ConverterPool pool(std::move(given), 2);
  auto converterOf = [&](unsigned slot) {
    return std::async(std::launch::async, [&pool, slot] {
      const print::WorkerSlot worker(slot);
      return &*pool.forThisThread();
    });
  };
  const print::LibreOfficeConverter* second = converterOf(1).get();
  EXPECT_EQ(converterOf(0).get(), first);
  EXPECT_NE(second, first);
  EXPECT_EQ(second->program(), "/bin/false");
  EXPECT_EQ(converterOf(2).get(), first);
  EXPECT_EQ(converterOf(3).get(), second);

  std::optional<print::ConverterPool::Lease> held(pool.forThisThread());  // slot 0, this thread
  auto waiting = converterOf(2);
  EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
  held.reset();
  EXPECT_EQ(waiting.get(), first);
}

}  // namespace
