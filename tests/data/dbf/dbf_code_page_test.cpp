#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/dbf/code_page.h"
#include "data/dbf/dbf_file.h"
#include "support/expect_throw.h"
#include "support/scratch_test.h"

using data::Value;
using data::dbf::DbfError;
using data::dbf::DbfReader;
using data::dbf::DbfWriter;
using ::testing::HasSubstr;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

namespace fs = std::filesystem;
using DbfCodePage = testsupport::ScratchTest;

const std::string kUmlauts = "äöüÄÖÜß";

fs::path writeUmlauts(const fs::path& file, const std::string& cp) {
  DbfWriter w(file, {{"UMLAUT", 'C', 14, 0}, {"NOTE", 'M', 10, 0}}, cp);
  w.append({Value::text(kUmlauts), Value::text("Größe " + kUmlauts)});
  w.finish();
  return file;
}

}  // namespace

// Each code page as stored: the bytes, the language driver byte and, where no byte names the
// code page, a ".cpg" file.
TEST_F(DbfCodePage, write_eachCodePage_storedBytesLdidAndCpg) {
  auto check = [&](const char* codePage, const std::string& stored, char ldid, const char* cpg,
                   const char* read) {
    SCOPED_TRACE(codePage);
    const auto file = writeUmlauts(dir_.path() / (std::string(codePage) + ".dbf"), codePage);
    const std::string bytes = readFile(file);
    EXPECT_EQ(bytes.substr(32 + 64 + 1 + 1, stored.size()), stored);  // behind header and flag
    EXPECT_EQ(bytes[29], ldid);
    EXPECT_EQ(readFile(fs::path(file).replace_extension(".cpg")), cpg);
    const auto r = DbfReader::open(file);
    EXPECT_EQ(r.codePage(), read);
    EXPECT_FALSE(r.codePageGuessed());
    EXPECT_EQ(r.record(0),
              (std::vector<Value>{Value::text(kUmlauts), Value::text("Größe " + kUmlauts)}));
  };
  check("CP850", "\x84\x94\x81\x8E\x99\x9A\xE1", 0x02, "", "CP850");
  check("windows-1252", "\xE4\xF6\xFC\xC4\xD6\xDC\xDF", 0x03, "", "CP1252");
  check("UTF-8", kUmlauts, 0, "UTF-8", "UTF-8");
}

// The language driver byte cleared or not, a ".cpg" file beside the table or not: the file wins
// over the byte; without either the code page is guessed from the bytes.
TEST_F(DbfCodePage, read_markChanged_cpgBeforeLdidElseGuessed) {
  auto check = [&](const char* written, bool clearLdid, const char* cpgFile, const char* cpgText,
                   const char* read, bool guessed) {
    SCOPED_TRACE(std::string(written) + " " + cpgFile);
    const testsupport::TempDir dir;
    const auto file = writeUmlauts(dir.path() / "t.dbf", written);
    if (clearLdid) testsupport::patchFile(file, 29, std::string(1, '\0'));
    if (*cpgFile) writeFile(dir.path() / cpgFile, cpgText);
    const auto r = DbfReader::open(file);
    EXPECT_EQ(r.codePage(), read);
    EXPECT_EQ(r.codePageGuessed(), guessed);
    if (std::string(written) == read) {
      EXPECT_EQ(r.record(0)[0], Value::text(kUmlauts));
    }
  };
  check("CP1252", false, "t.cpg", "850", "CP850", false);
  check("CP850", true, "T.CPG", " 850\r\n", "CP850", false);
  check("CP850", true, "", "", "CP850", true);
  check("CP1252", true, "", "", "CP1252", true);
}

// Texts holding bytes their code page lacks (U+FFFD) or maps to C1 controls were written in
// another one; texts decoded in their own are sound, whatever letters they hold. A table without
// any mark whose records are plain ASCII is judged by its memo file.
TEST_F(DbfCodePage, read_textsNotInTheirCodePage_knownMisDecoded) {
  const std::string foreign = "Málaga, Žár, Tešín „Quelle” ™";
  const struct {
    const char* written;
    std::string text;
    int ldid;            // written over the language driver byte unless -1
    const char* cpg;     // ".cpg" content unless empty
    const char* forced;  // code page open() is told, unless empty
    const char* read;    // the text as read; nullptr: as written, in the code page written
    bool inMemo;         // the text in the memo field, else in the character field
    bool misDecoded;
  } cases[] = {
      {"CP1252", foreign, -1, "", "", nullptr, true, false},
      {"UTF-8", "Sázava " + foreign, -1, "", "", nullptr, false, false},
      {"CP850", "Größe üblich", 0, "", "", nullptr, true, false},
      {"CP1252", "Größe üblich", 0, "", "", nullptr, true, false},
      // DOS bytes marked as Windows text: "ü" is no Windows character.
      {"CP850", kUmlauts, 3, "", "", "„”\xEF\xBF\xBDŽ™šá", false, true},
      {"CP850", kUmlauts, 3, "", "", "„”\xEF\xBF\xBDŽ™šá", true, true},
      {"CP850", "Größe", 3, "", "", "Gr”áe", true, false},  // every byte a Windows character
      {"CP850", "Größe", -1, "ISO-8859-1", "",
       "Gr\xC2\x94\xC3\xA1"
       "e",
       false, true},
      {"CP850", "Größe", -1, "UTF-8", "",
       "Gr\xEF\xBF\xBD\xEF\xBF\xBD"
       "e",
       true, true},
      {"CP850", kUmlauts, 3, "", "CP850", nullptr, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.written) + " " + c.text + " " + c.cpg + " " + c.forced);
    const testsupport::TempDir dir;
    const auto file = dir.path() / "t.dbf";
    {
      DbfWriter w(file, {{"T", 'C', 60, 0}, {"NOTE", 'M', 10, 0}}, c.written);
      w.append({Value::text(c.inMemo ? "ASCII" : c.text), Value::text(c.inMemo ? c.text : "-")});
      w.finish();
    }
    if (c.ldid >= 0) testsupport::patchFile(file, 29, std::string(1, static_cast<char>(c.ldid)));
    if (*c.cpg) writeFile(dir.path() / "t.cpg", c.cpg);
    const auto r =
        *c.forced ? DbfReader::open(
                        file, {.withoutMemoFile = false, .shortFile = false, .codePage = c.forced})
                  : DbfReader::open(file);
    EXPECT_EQ(r.codePage() == data::dbf::normalizeCodePage(c.written), !c.read);
    EXPECT_EQ(r.codePageGuessed(), c.ldid == 0);
    EXPECT_EQ(r.record(0)[c.inMemo ? 1 : 0], Value::text(c.read ? c.read : c.text));
    EXPECT_EQ(r.textsMisDecoded(), c.misDecoded);
  }
}

TEST_F(DbfCodePage, readOrWrite_unknownCpgOrMissingCharacter_throws) {
  const auto file = writeUmlauts(dir_.path() / "t.dbf", "UTF-8");
  writeFile(dir_.path() / "t.cpg", "klingon");
  EXPECT_THROW_MSG(DbfReader::open(file), DbfError, "Codepage KLINGON wird nicht unterstützt");
  DbfWriter w(dir_.path() / "u.dbf", {{"T", 'C', 10, 0}}, "CP850");
  EXPECT_THROW_MSG(w.append({Value::text("€")}), DbfError, "CP850 cannot represent");
  EXPECT_NO_THROW(w.append({Value::text("ÄÖÜ")}));
}

TEST_F(DbfCodePage, names_ldidAndCpgSpellings_known) {
  const std::pair<uint8_t, const char*> ldids[] = {
      {0x01, "CP437"},  {0x26, "CP866"},  {0x57, "CP1252"}, {0x64, "CP852"},
      {0x65, "CP866"},  {0x66, "CP865"},  {0x67, "CP861"},  {0xC8, "CP1250"},
      {0xC9, "CP1251"}, {0xCB, "CP1253"}, {0x00, ""}};
  for (const auto& [ldid, codePage] : ldids)
    EXPECT_EQ(data::dbf::codePageForLdid(ldid), codePage) << int(ldid);
  EXPECT_EQ(data::dbf::ldidForCodePage("cp866"), 0x65);
  EXPECT_EQ(data::dbf::ldidForCodePage("ISO-8859-1"), 0);
  const std::pair<const char*, const char*> spellings[] = {
      {"1252", "CP1252"},      {"utf-8\n", "UTF-8"},         {"UTF8", "UTF-8"},
      {"65001", "UTF-8"},      {"ISO-8859-1", "ISO-8859-1"}, {"88591", "ISO-8859-1"},
      {"ANSI 1251", "CP1251"}, {"IBM850", "CP850"}};
  for (const auto& [spelling, codePage] : spellings)
    EXPECT_EQ(data::dbf::normalizeCodePage(spelling), codePage) << spelling;
}
