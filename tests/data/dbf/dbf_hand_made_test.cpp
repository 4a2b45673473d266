// Tables assembled byte by byte from the published file layouts, independent of the writer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "data/dbf/dbf_file.h"
#include "support/expect_throw.h"
#include "support/scratch_test.h"

using data::Date;
using data::Value;
using data::dbf::DbfError;
using data::dbf::DbfReader;
using testsupport::writeFile;

namespace {

using DbfHandMade = testsupport::ScratchTest;

std::string le(uint64_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string be(uint64_t v, int bytes) {
  std::string s;
  for (int i = bytes - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string descriptor(const std::string& name, char type, uint8_t length, uint8_t decimals,
                       uint8_t flags = 0, uint32_t displacement = 0) {
  std::string d(32, '\0');
  d.replace(0, name.size(), name);
  d[11] = type;
  d.replace(12, 4, le(displacement, 4));
  d[16] = static_cast<char>(length);
  d[17] = static_cast<char>(decimals);
  d[18] = static_cast<char>(flags);
  return d;
}

// The 32-byte table header; the date of last change is 2022-01-02.
std::string header(char version, uint32_t records, uint16_t headerLength, uint16_t recordLength,
                   char ldid, char flags = 0) {
  std::string h(1, version);
  h += "\x7A\x01\x02";
  h += le(records, 4) + le(headerLength, 2) + le(recordLength, 2) + std::string(16, '\0');
  return h + flags + ldid + std::string(2, '\0');
}

}  // namespace

// A dBASE III table with two records: NAME C(10), AREA N(24,15), SEEN D, OK L. GIS tools write
// real numbers as N(24,15), some pad field names with blanks and leave out the trailing 0x1A.
TEST_F(DbfHandMade, read_dbaseIII_twoRecords) {
  // dBASE III without memo, 2 records, 161 + 44 bytes, CP437.
  std::string h = header('\x03', 2, 32 + 4 * 32 + 1, 1 + 10 + 24 + 8 + 1, '\x01');
  std::string area = descriptor("AREA", 'N', 24, 15);
  area.replace(4, 7, std::string(7, ' '));
  h += descriptor("NAME", 'C', 10, 0) + area + descriptor("SEEN", 'D', 8, 0) +
       descriptor("OK", 'L', 1, 0) + '\x0D';
  std::string records;
  records +=
      " M\x81hlbach  "
      "      12.500000000000000"
      "19960531"
      "T";  // "Mühlbach" in CP437
  // Appended piece by piece, as "literal" + std::string&& trips GCC 12's -Wrestrict at -O3.
  records += '*';
  records += std::string(10, ' ') + "      -0.500000000000000" + std::string(8, ' ') + "?";
  const auto file = dir_.path() / "HAND.DBF";
  writeFile(file, h + records);

  const auto r = DbfReader::open(file);
  EXPECT_EQ(r.codePage(), "CP437");
  ASSERT_EQ(r.recordCount(), 2u);
  ASSERT_EQ(r.fields().size(), 4u);
  EXPECT_EQ(r.fields()[1].name, "AREA");
  EXPECT_EQ(r.fields()[1].decimals, 15);
  EXPECT_EQ(r.record(0),
            (std::vector<Value>{Value::text("Mühlbach"), Value::real(12.5),
                                Value::date(Date{1996, 5, 31}), Value::boolean(true)}));
  EXPECT_FALSE(r.isDeleted(0));
  EXPECT_TRUE(r.isDeleted(1));  // and still readable
  EXPECT_EQ(r.record(1), (std::vector<Value>{Value(), Value::real(-0.5), Value(), Value()}));
  EXPECT_THROW_MSG(r.record(2), DbfError, "Datensatz 3 gibt es nicht");
  EXPECT_THROW(r.isDeleted(7), DbfError);
}

// dBASE IV: memo blocks carry FF FF 08 00 and their length; block size from the header. The
// second record's block claims more than the memo file holds.
TEST_F(DbfHandMade, read_dbaseIVMemo) {
  const auto& dir = dir_.path();
  const std::string h = header('\x8B', 2, 65, 11, '\x57') + descriptor("TEXT", 'M', 10, 0) + "\x0D";
  writeFile(dir / "four.dbf", h + "          2" + "          3" + "\x1A");
  std::string memo(64 * 2, '\0');
  memo.replace(20, 2, le(64, 2));  // block size 64
  memo += std::string("\xFF\xFF\x08\x00", 4) + le(8 + 6, 4) +
          "Gr\xFC\xDF"
          "e\x1A" +
          std::string(64 - 14, '\0');
  memo += std::string("\xFF\xFF\x08\x00", 4) + le(100000, 4);
  writeFile(dir / "four.dbt", memo);
  const auto r = DbfReader::open(dir / "four.dbf");
  EXPECT_EQ(r.codePage(), "CP1252");
  // The length header wins over the 0x1A, which is part of the text here.
  EXPECT_EQ(r.record(0)[0], Value::text("Grüße\x1A"));
  EXPECT_THROW_MSG(r.record(1), DbfError, "gibt 99992 Bytes an, mehr als die Memodatei");
}

// FoxPro 2: ".fpt" memo with big-endian block size, type and length.
TEST_F(DbfHandMade, read_foxProMemo) {
  const auto& dir = dir_.path();
  const std::string h = header('\xF5', 2, 65, 11, '\x02') + descriptor("TEXT", 'M', 10, 0) + "\x0D";
  writeFile(dir / "fox.dbf", h + "         8 " + "         9 " + "\x1A");
  std::string memo(512, '\0');
  memo.replace(0, 4, be(10, 4));
  memo.replace(6, 2, be(64, 2));
  memo += be(1, 4) + be(5, 4) + "\x84rger" + std::string(64 - 13, '\0');  // "Ärger" in CP850
  memo += be(1, 4) + be(500, 4) + "cut";
  writeFile(dir / "FOX.FPT", memo);
  const auto r = DbfReader::open(dir / "fox.dbf");
  EXPECT_EQ(r.record(0)[0], Value::text("ärger"));
  EXPECT_THROW_MSG(r.record(1), DbfError, "gibt 500 Bytes an");
}

// Visual FoxPro: I as 32-bit integer, B as double, Y currency, T date-time, a nullable column
// with its bit in _NullFlags, 4-byte memo pointers and the 263-byte backlink after the fields.
TEST_F(DbfHandMade, read_visualFoxPro_binaryTypesAndNulls) {
  const auto& dir = dir_.path();
  const size_t headerLength = 32 + 7 * 32 + 1 + 263;
  const size_t recordLength = 1 + 4 + 8 + 8 + 8 + 4 + 5 + 1;
  std::string h = header('\x30', 2, headerLength, recordLength, '\x03', '\x02');
  h += descriptor("ID", 'I', 4, 0, 0, 1);
  h += descriptor("AREA", 'B', 8, 2, 0, 5);
  h += descriptor("PRICE", 'Y', 8, 4, 0, 13);
  h += descriptor("STAMP", 'T', 8, 0, 0, 21);
  h += descriptor("NOTE", 'M', 4, 0, 0x02, 29);
  h += descriptor("CODE", 'C', 5, 0, 0x02, 33);
  h += descriptor("_NullFlags", '0', 1, 0, 0x05, 38);
  h += '\x0D';
  h += std::string(263, '\0');
  double area = 1234.5;
  uint64_t areaBits;
  std::memcpy(&areaBits, &area, 8);
  std::string rec1(1, ' ');
  rec1 += le(static_cast<uint32_t>(-7), 4) + le(areaBits, 8) + le(123456, 8) + le(2451545, 4) +
          le(0, 4) + le(8, 4) + "AB   " + std::string(1, '\0');
  std::string rec2(1, ' ');
  rec2 += le(5, 4) + le(0, 8) + le(0, 8) + le(0, 8) + le(0, 4) + "     " +
          std::string(1, '\x03');  // NOTE and CODE are null
  writeFile(dir / "vfp.dbf", h + rec1 + rec2 + "\x1A");
  std::string memo(512, '\0');
  memo.replace(6, 2, be(64, 2));
  memo += be(1, 4) + be(4, 4) + "Text";
  writeFile(dir / "vfp.fpt", memo);

  const auto r = DbfReader::open(dir / "vfp.dbf");
  ASSERT_EQ(r.fields().size(), 6u);  // _NullFlags is not a data column
  EXPECT_EQ(r.record(0), (std::vector<Value>{Value::integer(-7), Value::real(1234.5),
                                             Value::real(12.3456), Value::date({2000, 1, 1}),
                                             Value::text("Text"), Value::text("AB")}));
  EXPECT_EQ(r.record(1), (std::vector<Value>{Value::integer(5), Value::real(0), Value::real(0),
                                             Value(), Value(), Value()}));
}

// dBASE 7: 68-byte header, 48-byte descriptors, integers big-endian with the sign bit flipped.
TEST_F(DbfHandMade, read_dbase7_integers) {
  std::string h = header('\x04', 2, 68 + 48 + 1, 5, '\x03') + std::string(36, '\0');
  std::string d(48, '\0');
  d.replace(0, 5, "COUNT");
  d[32] = 'I';
  d[33] = 4;
  h += d + "\x0D";
  const std::string records = " " + be(0x80000000u + 300, 4) + " " + be(0x80000000u - 2, 4);
  const auto file = dir_.path() / "seven.dbf";
  writeFile(file, h + records + "\x1A");
  const auto r = DbfReader::open(file);
  EXPECT_EQ(r.record(0)[0], Value::integer(300));
  EXPECT_EQ(r.record(1)[0], Value::integer(-2));
}
