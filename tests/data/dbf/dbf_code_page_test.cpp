#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/dbf/code_page.h"
#include "data/dbf/dbf_file.h"
#include "dbf_test_files.h"

using data::Value;
using data::dbf::DbfError;
using data::dbf::DbfReader;
using data::dbf::DbfWriter;
using ::testing::HasSubstr;

namespace {

const std::string kUmlauts = "äöüÄÖÜß";

std::filesystem::path writeUmlauts(const std::filesystem::path& file, const std::string& cp) {
  DbfWriter w(file, {{"UMLAUT", 'C', 14, 0}, {"NOTE", 'M', 10, 0}}, cp);
  w.append({Value::text(kUmlauts), Value::text("Größe " + kUmlauts)});
  w.finish();
  return file;
}

std::string storedText(const std::filesystem::path& file) {
  return dbftest::readBytes(file).substr(32 + 64 + 1 + 1, 7);  // after header and flag
}

}  // namespace

TEST(DbfCodePage, write_cp850_bytesAndLdid) {
  const auto file = writeUmlauts(dbftest::scratchDir() / "t.dbf", "CP850");
  EXPECT_EQ(storedText(file), "\x84\x94\x81\x8E\x99\x9A\xE1");
  EXPECT_EQ(dbftest::readBytes(file)[29], 0x02);
  const auto r = DbfReader::open(file);
  EXPECT_EQ(r.codePage(), "CP850");
  EXPECT_EQ(r.record(0)[0], Value::text(kUmlauts));
  EXPECT_EQ(r.record(0)[1], Value::text("Größe " + kUmlauts));
}

TEST(DbfCodePage, write_cp1252_bytesAndLdid) {
  const auto file = writeUmlauts(dbftest::scratchDir() / "t.dbf", "windows-1252");
  EXPECT_EQ(storedText(file), "\xE4\xF6\xFC\xC4\xD6\xDC\xDF");
  EXPECT_EQ(dbftest::readBytes(file)[29], 0x03);
  const auto r = DbfReader::open(file);
  EXPECT_EQ(r.codePage(), "CP1252");
  EXPECT_EQ(r.record(0)[0], Value::text(kUmlauts));
}

TEST(DbfCodePage, read_cpgOverridesLdid) {
  const auto dir = dbftest::scratchDir();
  const auto file = writeUmlauts(dir / "t.dbf", "CP1252");
  dbftest::writeBytes(dir / "t.cpg", "850");
  EXPECT_EQ(DbfReader::open(file).codePage(), "CP850");
}

TEST(DbfCodePage, read_withoutMark_guessesFromTheBytes) {
  for (const char* codePage : {"CP850", "CP1252"}) {
    const auto dir = dbftest::scratchDir() / codePage;
    std::filesystem::create_directories(dir);
    const auto file = writeUmlauts(dir / "t.dbf", codePage);
    auto bytes = dbftest::readBytes(file);
    bytes[29] = 0;  // no language driver byte, no ".cpg"
    dbftest::writeBytes(file, bytes);
    const auto r = DbfReader::open(file);
    EXPECT_EQ(r.codePage(), codePage);
    EXPECT_TRUE(r.codePageGuessed());
    EXPECT_EQ(r.record(0)[0], Value::text(kUmlauts));
  }
}

TEST(DbfCodePage, read_withoutLdid_usesCpgFile) {
  const auto dir = dbftest::scratchDir();
  const auto file = writeUmlauts(dir / "t.dbf", "CP850");
  std::string bytes = dbftest::readBytes(file);
  bytes[29] = 0;
  dbftest::writeBytes(file, bytes);
  dbftest::writeBytes(dir / "T.CPG", " 850\r\n");
  const auto r = DbfReader::open(file);
  EXPECT_EQ(r.codePage(), "CP850");
  EXPECT_EQ(r.record(0)[0], Value::text(kUmlauts));
}

TEST(DbfCodePage, read_withoutLdidOrCpg_usesCp1252) {
  const auto file = writeUmlauts(dbftest::scratchDir() / "t.dbf", "CP1252");
  std::string bytes = dbftest::readBytes(file);
  bytes[29] = 0;
  dbftest::writeBytes(file, bytes);
  const auto r = DbfReader::open(file);
  EXPECT_EQ(r.codePage(), "CP1252");
  EXPECT_EQ(r.record(0)[0], Value::text(kUmlauts));
}

TEST(DbfCodePage, write_codePageWithoutLdid_writesCpg) {
  const auto dir = dbftest::scratchDir();
  const auto file = writeUmlauts(dir / "t.dbf", "UTF-8");
  EXPECT_EQ(dbftest::readBytes(file)[29], 0);
  EXPECT_EQ(dbftest::readBytes(dir / "t.cpg"), "UTF-8");
  const auto r = DbfReader::open(file);
  EXPECT_EQ(r.codePage(), "UTF-8");
  EXPECT_EQ(r.record(0)[1], Value::text("Größe " + kUmlauts));
}

TEST(DbfCodePage, read_unknownCpg_throws) {
  const auto dir = dbftest::scratchDir();
  const auto file = writeUmlauts(dir / "t.dbf", "UTF-8");
  dbftest::writeBytes(dir / "t.cpg", "klingon");
  EXPECT_THAT(
      [&] { DbfReader::open(file); },
      ::testing::ThrowsMessage<DbfError>(HasSubstr("Codepage KLINGON wird nicht unterstützt")));
}

TEST(DbfCodePage, write_characterMissingInCodePage_throws) {
  const auto file = dbftest::scratchDir() / "t.dbf";
  DbfWriter w(file, {{"T", 'C', 10, 0}}, "CP850");
  EXPECT_THAT([&] { w.append({Value::text("€")}); },
              ::testing::ThrowsMessage<DbfError>(HasSubstr("CP850 cannot represent")));
  EXPECT_NO_THROW(w.append({Value::text("ÄÖÜ")}));
}

TEST(DbfCodePage, read_undefinedByte_becomesReplacementCharacter) {
  const auto file = dbftest::scratchDir() / "t.dbf";
  DbfWriter w(file, {{"T", 'C', 3, 0}}, "CP1252");
  w.append({Value::text("aba")});
  w.finish();
  std::string bytes = dbftest::readBytes(file);
  bytes[32 + 32 + 1 + 2] = '\x81';  // not defined in CP1252
  dbftest::writeBytes(file, bytes);
  EXPECT_EQ(DbfReader::open(file).record(0)[0], Value::text("a\xEF\xBF\xBD"
                                                            "a"));
}

TEST(DbfCodePage, ldidTable_knownBytes) {
  using data::dbf::codePageForLdid;
  EXPECT_EQ(codePageForLdid(0x01), "CP437");
  EXPECT_EQ(codePageForLdid(0x26), "CP866");
  EXPECT_EQ(codePageForLdid(0x57), "CP1252");
  EXPECT_EQ(codePageForLdid(0x64), "CP852");
  EXPECT_EQ(codePageForLdid(0x65), "CP866");
  EXPECT_EQ(codePageForLdid(0x66), "CP865");
  EXPECT_EQ(codePageForLdid(0x67), "CP861");
  EXPECT_EQ(codePageForLdid(0xC8), "CP1250");
  EXPECT_EQ(codePageForLdid(0xC9), "CP1251");
  EXPECT_EQ(codePageForLdid(0xCB), "CP1253");
  EXPECT_EQ(codePageForLdid(0x00), "");
  EXPECT_EQ(data::dbf::ldidForCodePage("cp866"), 0x65);
  EXPECT_EQ(data::dbf::ldidForCodePage("ISO-8859-1"), 0);
}

TEST(DbfCodePage, normalize_cpgSpellings) {
  using data::dbf::normalizeCodePage;
  EXPECT_EQ(normalizeCodePage("1252"), "CP1252");
  EXPECT_EQ(normalizeCodePage("utf-8\n"), "UTF-8");
  EXPECT_EQ(normalizeCodePage("UTF8"), "UTF-8");
  EXPECT_EQ(normalizeCodePage("65001"), "UTF-8");
  EXPECT_EQ(normalizeCodePage("ISO-8859-1"), "ISO-8859-1");
  EXPECT_EQ(normalizeCodePage("88591"), "ISO-8859-1");
  EXPECT_EQ(normalizeCodePage("ANSI 1251"), "CP1251");
  EXPECT_EQ(normalizeCodePage("IBM850"), "CP850");
}
