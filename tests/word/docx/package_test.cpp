#include "word/docx/package.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <map>
#include <optional>

#include "support/expect_throw.h"
#include "support/temp_dir.h"
#include "test_package.h"
#include "word/docx/atomic_file.h"
#include "word/docx/document.h"
#include "word/docx/zip_archive.h"

using ::testing::HasSubstr;

namespace docx {
namespace {

using test::buildTemplate;
using test::para;
using test::partText;
using test::writeFile;
using testsupport::readFile;
using testsupport::thrownValue;

std::optional<ErrorCode> openError(const std::string& bytes, std::string* message = nullptr) {
  return thrownValue<DocxError>([&] { Document::fromBytes(bytes, "kaputt.dotx"); },
                                [&](const DocxError& e) {
                                  if (message) *message = e.what();
                                  return e.code();
                                });
}

// The code of the DocxError that saving a document of the template to target raises.
std::optional<ErrorCode> saveError(const std::filesystem::path& tmpl,
                                   const std::filesystem::path& target) {
  return thrownValue<DocxError>([&] { Document::open(tmpl).save(target); }, &DocxError::code);
}

// A scratch folder holding a small template v.dotx.
class save_atomic : public ::testing::Test {
 protected:
  testsupport::TempDir dir_;
  const std::filesystem::path& folder_ = dir_.path();
  const std::filesystem::path tmpl_ = writeFile(folder_ / "v.dotx", buildTemplate(para("x")));

  long fileCount() const { return std::distance(std::filesystem::directory_iterator(folder_), {}); }
};

TEST(package_open, template_becomes_document_and_untouched_parts_stay_byte_identical) {
  const std::string original = buildTemplate(para("Hallo"));
  Document doc = Document::fromBytes(original, "t.dotx");
  EXPECT_EQ(doc.mainContentType(),
            "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
  const std::string saved = doc.toBytes();
  EXPECT_EQ(partText(saved, "word/styles.xml"), partText(original, "word/styles.xml"));
  EXPECT_EQ(partText(saved, "word/document.xml"), partText(original, "word/document.xml"));
  EXPECT_THAT(partText(saved, "[Content_Types].xml"), HasSubstr("document.main+xml"));
}

TEST(package_open, cached_template_is_reread_when_the_file_changes) {
  testsupport::TempDir dir;
  const auto path = writeFile(dir.path() / "t.dotx", buildTemplate(para("eins")));
  Document first = Document::open(path);
  first.bookmarks();  // the first document may be edited without touching the cache
  EXPECT_THAT(partText(first.toBytes(), "word/document.xml"), HasSubstr("eins"));
  writeFile(path, buildTemplate(para("zweiundzwanzig")));
  Document second = Document::open(path);
  EXPECT_THAT(partText(second.toBytes(), "word/document.xml"), HasSubstr("zweiundzwanzig"));
}

// Every packing gives back what went in, for text that shrinks, for bytes that do not (a photo
// in a document) and for parts too small to be worth packing; the smaller packings are smaller.
TEST(package_save, every_packing_reads_back_what_went_in) {
  std::string text;
  for (int i = 0; i < 5000; ++i)
    text += "<w:p><w:r><w:t>Zeile " + std::to_string(i) + "</w:t></w:r></w:p>";
  std::string noise(100000, '\0');
  std::uint64_t x = 88172645463325252ull;
  for (char& c : noise) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    c = static_cast<char>(x);
  }
  std::map<Packing, std::size_t> sizes;
  for (Packing packing : {Packing::kStored, Packing::kFast, Packing::kSmall, Packing::kSmallest}) {
    SCOPED_TRACE(static_cast<int>(packing));
    const std::vector<ZipEntry> entries = {
        {"text.xml", std::make_shared<const std::string>(text)},
        {"noise.bin", std::make_shared<const std::string>(noise)},
        {"small.xml", std::make_shared<const std::string>("<a/>")}};
    const std::string zip = writeZip(entries, packing);
    const std::vector<ZipEntry> back = readZip(zip, "p.zip");
    ASSERT_EQ(back.size(), 3u);
    for (std::size_t i = 0; i < back.size(); ++i) {
      EXPECT_EQ(back[i].name, entries[i].name);
      EXPECT_EQ(*back[i].data, *entries[i].data);
    }
    sizes[packing] = zip.size();
  }
  EXPECT_LT(sizes[Packing::kFast], sizes[Packing::kStored] / 2);
  EXPECT_LE(sizes[Packing::kSmall], sizes[Packing::kFast]);
  EXPECT_LT(sizes[Packing::kSmallest], sizes[Packing::kSmall]);
}

TEST(package_corrupt, not_a_zip_missing_parts_and_malformed_xml) {
  std::string message;
  EXPECT_EQ(openError("Dies ist kein Paket", &message), ErrorCode::kNotAPackage);
  EXPECT_THAT(message, HasSubstr("kaputt.dotx"));

  // A zip without content types.
  std::vector<ZipEntry> entries{{"word/document.xml", std::make_shared<const std::string>("<x/>")}};
  EXPECT_EQ(openError(writeZip(entries, Packing::kFast)), ErrorCode::kMissingPart);

  // Relationships name a main part that is not there.
  const std::string withoutMain = test::withPart(buildTemplate(para("x")), "word/document.xml",
                                                 [](std::string) { return std::string(); });
  EXPECT_EQ(openError(withoutMain, &message), ErrorCode::kMissingPart);

  const std::string malformed = buildTemplate(
      {"", "", "", true, true,
       "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
       "<w:body><w:p></w:body></w:document>"});
  EXPECT_EQ(openError(malformed, &message), ErrorCode::kMalformedXml);
  EXPECT_THAT(message, HasSubstr("word/document.xml"));

  const std::string badHeader = buildTemplate({para("x"), "<w:p><w:r></w:p>", "", true, true, ""});
  EXPECT_EQ(openError(badHeader, &message), ErrorCode::kMalformedXml);
  EXPECT_THAT(message, HasSubstr("word/header1.xml"));

  EXPECT_THROW(Document::open("/nonexistent/folder/t.dotx"), DocxError);
}

// A part deeper than other readers accept is never written: at the limit it is, one deeper not.
TEST(package_save, part_deeper_than_others_read_is_refused) {
  auto withPartOfDepth = [](int depth) {
    Package package = Package::fromBytes(buildTemplate(para("x")), "tief.dotx");
    std::string xml;
    for (int i = 0; i <= depth; ++i) xml += "<a>";  // the root counts 0
    for (int i = 0; i <= depth; ++i) xml += "</a>";
    package.addXmlPart("word/tief.xml", "application/xml", xml);
    return package;
  };
  EXPECT_NO_THROW(withPartOfDepth(kMaxReadableDepth).serialize(Packing::kFast));
  Package deep = withPartOfDepth(kMaxReadableDepth + 1);
  EXPECT_THROW_MSG(deep.serialize(Packing::kFast), DocxError,
                   "der Teil word/tief.xml wäre tiefer als 256");
  EXPECT_EQ(thrownValue<DocxError>([&] { deep.serialize(Packing::kFast); }, &DocxError::code),
            ErrorCode::kMalformedXml);
}

// A small package that inflates to more than any real template is refused from the sizes it
// declares, at once and before anything is unpacked.
TEST(package_corrupt, bloated_part_is_refused_before_it_is_unpacked) {
  std::vector<ZipEntry> entries = readZip(buildTemplate(para("x")), "gut.dotx");
  entries.push_back({"word/bloat.xml", std::make_shared<const std::string>(40u << 20, ' ')});
  const std::string bloated = writeZip(entries, Packing::kSmallest);
  const auto start = std::chrono::steady_clock::now();
  std::string message;
  EXPECT_EQ(openError(bloated, &message), ErrorCode::kTooLarge);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_THAT(message, HasSubstr("word/bloat.xml ist entpackt zu groß (40 MB, höchstens 32 MB"));
}

TEST(package_corrupt, damaged_bytes_of_a_saved_document) {
  Document doc =
      Document::fromBytes(buildTemplate(para(std::string(2000, 'a') + " Inhalt des Dokuments " +
                                             std::string(2000, 'b'))),
                          "t.dotx");
  doc.bookmarks();
  const std::string good = doc.toBytes();
  ASSERT_NO_THROW(Document::fromBytes(good, "gut.docx"));
  // Damage the compressed data of word/document.xml behind its local header.
  // The name as it follows a local file header (30 bytes from "PK\3\4"); small parts are stored
  // uncompressed, so the name also occurs in the content types.
  std::size_t header = good.find("word/document.xml");
  while (header != std::string::npos &&
         (header < 30 || good.compare(header - 30, 4, std::string("PK\x03\x04", 4)) != 0))
    header = good.find("word/document.xml", header + 1);
  ASSERT_NE(header, std::string::npos);
  const std::size_t dataStart = header + std::string("word/document.xml").size() + 4;
  std::string damaged = good;
  for (std::size_t k = dataStart; k < dataStart + 16; ++k)
    damaged[k] = static_cast<char>(~damaged[k]);
  std::string message;
  EXPECT_EQ(openError(damaged, &message), ErrorCode::kNotAPackage);
  EXPECT_THAT(message, HasSubstr("word/document.xml"));
  // A truncated download.
  EXPECT_EQ(openError(good.substr(0, good.size() / 2)), ErrorCode::kNotAPackage);
}

TEST(package_corrupt, every_single_damaged_byte_gives_docx_error_or_a_usable_document) {
  const std::string good =
      buildTemplate({"<w:p><w:bookmarkStart w:id=\"1\" w:name=\"A\"/><w:r><w:t>x</w:t></w:r>"
                     "<w:bookmarkEnd w:id=\"1\"/></w:p>",
                     para("Kopf"), "", true, true, ""});
  int rejected = 0;
  for (std::size_t k = 0; k < good.size(); k += 3) {
    std::string damaged = good;
    damaged[k] = static_cast<char>(damaged[k] ^ 0x5A);
    try {
      Document doc = Document::fromBytes(damaged, "x.dotx");
      if (doc.bookmarks().exists("A", BookmarkScope::kAllStories)) {
        doc.bookmarks().replace("A", "neu", {}, BookmarkScope::kAllStories);
      }
      doc.toBytes();
    } catch (const DocxError&) {
      ++rejected;
    }
  }
  EXPECT_GT(rejected, 0);
}

TEST_F(save_atomic, writes_document_and_overwrites_keeping_mode) {
  const auto target = folder_ / "000000000001GN.docx";
  Document::open(tmpl_).save(target);
  ASSERT_TRUE(std::filesystem::exists(target));
  chmod(target.c_str(), 0640);
  Document::open(tmpl_).save(target);
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // A new one gets 0666 less the umask, which is never changed (other workers create folders).
  const mode_t old = umask(027);
  Document::open(tmpl_).save(folder_ / "neu.docx");
  EXPECT_EQ(umask(old), 027u);
  ASSERT_EQ(stat((folder_ / "neu.docx").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  std::filesystem::remove(folder_ / "neu.docx");
  EXPECT_NO_THROW(Document::open(target));
  EXPECT_EQ(fileCount(), 2);  // nothing but the template and the document remain
}

TEST_F(save_atomic, locked_or_unwritable_target_gives_file_open_error) {
  const auto target = folder_ / "Bericht-Report.docx";
  Document::open(tmpl_).save(target);
  const std::string before = readFile(target);
  for (const std::string lock : {".~lock.Bericht-Report.docx#", "~$richt-Report.docx",
                                 "~$Bericht-Report.docx", "~$ericht-Report.docx"}) {
    writeFile(folder_ / lock, "user");
    EXPECT_EQ(saveError(tmpl_, target), ErrorCode::kFileOpen) << lock;
    EXPECT_EQ(readFile(target), before);
    std::filesystem::remove(folder_ / lock);
  }
  // A folder in the target's place cannot be written either, nor a read-only file; a link or a
  // pipe planted there is neither followed nor opened (which would block for good) nor replaced.
  std::filesystem::create_directory(folder_ / "Ordner.docx");
  EXPECT_EQ(saveError(tmpl_, folder_ / "Ordner.docx"), ErrorCode::kFileOpen);
  alarm(30);  // a pipe opened by mistake ends the test instead of hanging it
  ASSERT_EQ(mkfifo((folder_ / "Pipe.docx").c_str(), 0600), 0);
  std::filesystem::create_symlink(target, folder_ / "Link.docx");
  for (const char* planted : {"Pipe.docx", "Link.docx"}) {
    const auto type = std::filesystem::symlink_status(folder_ / planted).type();
    EXPECT_EQ(saveError(tmpl_, folder_ / planted), ErrorCode::kFileOpen) << planted;
    EXPECT_EQ(std::filesystem::symlink_status(folder_ / planted).type(), type);
  }
  alarm(0);
  EXPECT_EQ(readFile(target), before);
  if (geteuid() == 0) return;  // file permissions do not bind the superuser
  chmod(target.c_str(), 0444);
  EXPECT_EQ(saveError(tmpl_, target), ErrorCode::kFileOpen);
}

TEST_F(save_atomic, record_lock_of_another_process_gives_file_open_error) {
  const auto target = folder_ / "gesperrt.docx";
  Document::open(tmpl_).save(target);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The other editor: holds a write lock until it is ended.
    const int fd = open(target.c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    const char ok = (fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0) ? '1' : '0';
    if (write(ready[1], &ok, 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  char ok = '0';
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  const auto code = saveError(tmpl_, target);
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  ASSERT_EQ(ok, '1');
  EXPECT_EQ(code, ErrorCode::kFileOpen);
  EXPECT_NO_THROW(Document::open(tmpl_).save(target));  // free again once the editor is gone
}

TEST_F(save_atomic, failed_write_leaves_old_file_and_no_temporary_file) {
  const auto big =
      writeFile(folder_ / "v.dotx", buildTemplate(para(std::string(50000, 'x')) + para("y")));
  const auto target = folder_ / "alt.docx";
  writeFile(target, "previous content");
  // A file size limit makes the write fail part-way, as a full disk would.
  struct rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = old;
  limit.rlim_cur = 200;
  setrlimit(RLIMIT_FSIZE, &limit);
  const auto code = thrownValue<DocxError>(
      [&] {
        Document doc = Document::open(big);
        doc.bookmarks();
        doc.save(target);
      },
      &DocxError::code);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(code, ErrorCode::kWriteFailed);
  EXPECT_EQ(readFile(target), "previous content");
  EXPECT_EQ(fileCount(), 2);
  // A missing folder is a write failure, not an open file.
  EXPECT_EQ(saveError(big, folder_ / "fehlt" / "x.docx"), ErrorCode::kWriteFailed);
}

}  // namespace
}  // namespace docx
