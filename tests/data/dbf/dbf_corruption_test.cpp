#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "data/dbf/dbf_file.h"
#include "support/expect_throw.h"
#include "support/scratch_test.h"

using data::Value;
using data::dbf::DbfError;
using data::dbf::DbfReader;
using data::dbf::DbfWriter;
using ::testing::AllOf;
using ::testing::HasSubstr;
using testsupport::patchFile;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

using DbfCorruption = testsupport::ScratchTest;

// Header 32 + 3 * 32 + 1 = 129 bytes; records 1 + 8 + 5 + 10 = 24 bytes.
constexpr size_t kHeader = 129;
constexpr size_t kRecord = 24;

// A valid table with a character, a numeric and a memo field and three records.
std::filesystem::path writeValid(const std::filesystem::path& dir) {
  const auto file = dir / "valid.dbf";
  DbfWriter w(file, {{"NAME", 'C', 8, 0}, {"COUNT", 'N', 5, 0}, {"NOTE", 'M', 10, 0}});
  w.append({Value::text("eins"), Value::integer(1), Value::text("erste Notiz")});
  w.append({Value::text("zwei"), Value::integer(2), Value()});
  w.append({Value::text("drei"), Value::integer(3), Value::text("dritte Notiz")});
  w.finish();
  return file;
}

}  // namespace

// One damage to the table or its memo file and the error it must raise: on opening, or with
// record >= 0 at the latest on reading that record (the records before it still read).
struct Damage {
  const char* name;
  const char* file;  // "valid.dbf" or "valid.dbt"
  size_t at;
  std::string bytes;          // written at `at`; empty: none
  size_t cutTo;               // the file is cut to this size; 0: not cut; npos: removed
  int record;                 // -1: opening fails
  std::string message;        // part of the error message
  std::string message2 = "";  // and another part; empty: none
};

class DbfDamage : public testsupport::ScratchTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DbfDamage, throwsNamingWhatIsWrong) {
  const Damage& d = GetParam();
  const auto file = writeValid(dir_.path());
  const auto damaged = dir_.path() / d.file;
  if (!d.bytes.empty()) patchFile(damaged, d.at, d.bytes);
  if (d.cutTo == std::string::npos)
    std::filesystem::remove(damaged);
  else if (d.cutTo)
    writeFile(damaged, readFile(damaged).substr(0, d.cutTo));
  std::string message = "(nothing thrown)";
  try {
    const auto r = DbfReader::open(file);
    ASSERT_GE(d.record, 0) << "opened";
    for (int i = 0; i < d.record; ++i) EXPECT_NO_THROW(r.record(static_cast<uint32_t>(i))) << i;
    r.record(static_cast<uint32_t>(d.record));
  } catch (const DbfError& e) {
    message = e.what();
  }
  EXPECT_THAT(message, AllOf(HasSubstr(d.message), HasSubstr(d.message2)));
}

INSTANTIATE_TEST_SUITE_P(
    headerAndRecords, DbfDamage,
    ::testing::Values(
        Damage{"missingFile", "valid.dbf", 0, "", std::string::npos, -1,
               "valid.dbf: kann nicht gelesen werden"},
        Damage{"fileTooShort", "valid.dbf", 0, "", 4, -1, "valid.dbf", "zu kurz"},
        Damage{"memoFileMissing", "valid.dbt", 0, "", std::string::npos, -1, "Memodatei", "fehlt"},
        Damage{"unknownVersion", "valid.dbf", 0, "\x07", 0, -1, "valid.dbf",
               "unbekanntes dBASE-Versionsbyte 0x07"},
        Damage{"headerLongerThanFile", "valid.dbf", 8, "\xFF\xF0", 0, -1,
               "Kopf gibt 61695 Bytes an"},
        Damage{"fileCutInsideHeader", "valid.dbf", 0, "", 100, -1,
               "Kopf gibt 129 Bytes an, die Datei hat aber nur 100"},
        Damage{"recordLengthMismatch", "valid.dbf", 10, "\x19", 0, -1,
               "Satzlänge 25 passt nicht zu den Feldern"},
        // 80 bytes: ends inside the second descriptor.
        Damage{"headerTooShortForFields", "valid.dbf", 8, "\x50", 0, -1, "enden nicht mit 0x0D"},
        Damage{"missingTerminator", "valid.dbf", kHeader - 1, " ", 0, -1, "enden nicht mit 0x0D"},
        // Would need 51 GB.
        Damage{"hugeRecordCount", "valid.dbf", 4, "\xFF\xFF\xFF\x7F", 0, -1,
               "2147483647 Datensätze", "mehr als die Datei enthält"},
        Damage{"oneRecordMoreThanPresent", "valid.dbf", 4, std::string("\x04\x00\x00\x00", 4), 0,
               -1, "mehr als die Datei enthält"},
        Damage{"truncatedRecords", "valid.dbf", 0, "", kHeader + 2 * kRecord + 5, -1,
               "mehr als die Datei enthält"},
        Damage{"zeroLengthField", "valid.dbf", 32 + 32 + 16, std::string(1, '\0'), 0, -1,
               "Feld 2 (COUNT) hat die Länge 0"},
        Damage{"emptyFieldName", "valid.dbf", 32, std::string(1, '\0'), 0, -1,
               "Feld 1 hat keinen Namen"},
        // COUNT becomes a logical field of length 5.
        Damage{"fixedTypeWithWrongLength", "valid.dbf", 32 + 32 + 11, "L", 0, -1,
               "COUNT) vom Typ L hat die ungültige Länge 5"},
        Damage{"memoPointerPastEnd", "valid.dbf", kHeader + 2 * kRecord + 1 + 13, "      9999", 0,
               2, "Datensatz 3, Feld NOTE", "Memoblock 9999 liegt hinter dem Ende"},
        Damage{"memoPointerNotNumeric", "valid.dbf", kHeader + 1 + 13, "     1x  1", 0, 0,
               "Datensatz 1, Feld NOTE: ungültige Memoblocknummer"},
        Damage{"memoFileCut", "valid.dbt", 0, "", 300, 0,
               "der Kopf der Memodatei ist unvollständig"},
        Damage{"garbageInNumber", "valid.dbf", kHeader + kRecord + 1 + 8, " 1x2 ", 0, 1,
               "Datensatz 2, Feld COUNT: \"1x2\" ist keine Zahl"}),
    [](const auto& info) { return std::string(info.param.name); });

// What looks odd but is sound: a date field of length 8, the overflow marker of dBASE in a
// number, the memo file's name in other case.
TEST_F(DbfCorruption, read_oddButSound_reads) {
  const auto file = writeValid(dir_.path());
  patchFile(file, 32 + 11, "D");  // NAME becomes a date field of length 8
  EXPECT_NO_THROW(DbfReader::open(file));
  patchFile(file, 32 + 11, "C");
  patchFile(file, kHeader + kRecord + 1 + 8, "*****");
  std::filesystem::rename(file.parent_path() / "valid.dbt", file.parent_path() / "VALID.DBT");
  const auto r = DbfReader::open(file);
  EXPECT_EQ(r.record(1)[1], Value());
  EXPECT_EQ(r.record(0)[2], Value::text("erste Notiz"));
}

// Random damage anywhere in header or records must end in a value or a DbfError.
TEST_F(DbfCorruption, read_randomDamage_neverCrashes) {
  const auto dir = dir_.path();
  const auto file = writeValid(dir);
  const std::string original = readFile(file);
  const std::string memo = readFile(dir / "valid.dbt");
  std::mt19937 rng(7);
  int rejected = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = original;
    std::string memoBytes = memo;
    const int hits = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < hits; ++i) {
      if (rng() % 4 == 0)
        memoBytes[rng() % memoBytes.size()] = static_cast<char>(rng());
      else
        bytes[rng() % bytes.size()] = static_cast<char>(rng());
    }
    if (rng() % 10 == 0) bytes.resize(rng() % bytes.size());
    writeFile(file, bytes);
    writeFile(dir / "valid.dbt", memoBytes);
    try {
      const auto r = DbfReader::open(file);
      for (uint32_t i = 0; i < r.recordCount(); ++i) r.record(i);
    } catch (const DbfError& e) {
      ++rejected;
      EXPECT_THAT(e.what(), HasSubstr("valid.d"));
    }
  }
  EXPECT_GT(rejected, 100);
}

// Read leniently, a value that cannot be read costs its own field only: Null in its place and
// a description naming record, field and what it holds; the other fields and records read.
TEST_F(DbfCorruption, recordLenient_badValues_becomeNullAndAreNamed) {
  const auto file = writeValid(dir_.path());
  patchFile(file, kHeader + kRecord + 1 + 8, " 1x2 ");
  patchFile(file, kHeader + 2 * kRecord + 1 + 13, "      9999");
  const auto r = DbfReader::open(file);
  std::vector<data::dbf::BadValue> bad;
  EXPECT_EQ(r.record(0, bad)[1], Value::integer(1));
  EXPECT_TRUE(bad.empty());
  const auto second = r.record(1, bad);
  EXPECT_EQ(second[0], Value::text("zwei"));
  EXPECT_EQ(second[1], Value());
  const auto third = r.record(2, bad);
  EXPECT_EQ(third[1], Value::integer(3));
  EXPECT_EQ(third[2], Value());
  ASSERT_EQ(bad.size(), 2u);
  EXPECT_EQ(bad[0].record, 2u);
  EXPECT_EQ(bad[0].field, "COUNT");
  EXPECT_EQ(bad[0].stored, "1x2");
  EXPECT_EQ(bad[0].reason, "\"1x2\" ist keine Zahl");
  EXPECT_EQ(bad[1].record, 3u);
  EXPECT_EQ(bad[1].field, "NOTE");
  EXPECT_THAT(bad[1].reason, HasSubstr("Memoblock 9999 liegt hinter dem Ende"));
}

// A header that counts fewer records than the file holds (a writer that crashed before it
// updated the header): every whole record is read, and the reader says so. What follows the
// records and is no record (the end-of-file byte, a cut record) is not counted.
TEST_F(DbfCorruption, open_headerCountsFewerRecords_readsEveryWholeRecordAndSaysSo) {
  const auto file = writeValid(dir_.path());
  EXPECT_EQ(DbfReader::open(file).headerNote(), "");
  patchFile(file, 4, std::string("\x01\x00\x00\x00", 4));
  writeFile(file, readFile(file) + "\x1A" + std::string(" halber", 7));
  const auto r = DbfReader::open(file);
  EXPECT_EQ(r.recordCount(), 3u);
  EXPECT_EQ(r.record(2)[0], Value::text("drei"));
  EXPECT_EQ(r.headerNote(),
            "der Kopf nennt 1 Datensatz, die Datei enthält aber 3; alle 3 werden gelesen");
}

// For a check that names every fault of a folder, the reader takes two damages it otherwise
// refuses, and says what it met: a missing memo file (memo fields read as Null) and a header
// that counts more records than the file holds (the whole records held are read).
TEST_F(DbfCorruption, openForCheck_missingMemoAndShortFile_readWhatIsThere) {
  const auto file = writeValid(dir_.path());
  std::filesystem::remove(dir_.path() / "valid.dbt");
  patchFile(file, 4, std::string("\x05\x00\x00\x00", 4));
  writeFile(file, readFile(file).substr(0, kHeader + 2 * kRecord + 7));
  EXPECT_THROW(DbfReader::open(file), DbfError);
  const auto r =
      DbfReader::open(file, {.withoutMemoFile = true, .shortFile = true, .codePage = {}});
  EXPECT_TRUE(r.memoFileMissing());
  EXPECT_EQ(r.headerRecordCount(), 5u);
  ASSERT_EQ(r.recordCount(), 2u);
  std::vector<data::dbf::BadValue> bad;
  EXPECT_EQ(r.record(0, bad),
            (std::vector<Value>{Value::text("eins"), Value::integer(1), Value()}));
  EXPECT_TRUE(bad.empty());
  EXPECT_EQ(r.headerNote(),
            "der Kopf nennt 5 Datensätze, die Datei enthält aber nur 2; die "
            "fehlenden sind verloren");
}
