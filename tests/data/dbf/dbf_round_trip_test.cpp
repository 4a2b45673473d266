#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/dbf/dbf_file.h"
#include "support/expect_throw.h"
#include "support/scratch_test.h"

using data::Date;
using data::Value;
using data::dbf::DbfError;
using data::dbf::DbfReader;
using data::dbf::DbfWriter;
using data::dbf::FieldDescriptor;
using ::testing::HasSubstr;
using testsupport::readFile;

namespace {

using DbfRoundTrip = testsupport::ScratchTest;

std::vector<FieldDescriptor> allTypes() {
  return {{"NAME", 'C', 20, 0}, {"COUNT", 'N', 6, 0}, {"SHARE", 'N', 8, 2}, {"RATIO", 'F', 10, 3},
          {"SEEN", 'D', 8, 0},  {"OK", 'L', 1, 0},    {"NOTE", 'M', 10, 0}};
}

}  // namespace

TEST_F(DbfRoundTrip, write_read_everyTypeAndNull) {
  const auto file = dir_.path() / "all.dbf";
  {
    DbfWriter w(file, allTypes());
    w.append({Value::text("Wiese am Bach"), Value::integer(-42), Value::real(12.345),
              Value::real(0.5), Value::date({2003, 7, 14}), Value::boolean(true),
              Value::text("Langer Text\r\nmit zweiter Zeile")});
    w.append({Value::text("  ab  "), Value::integer(999999), Value::integer(3), Value::real(-1.25),
              Value::date({2000, 2, 29}), Value::boolean(false),
              Value::text(std::string(1500, 'm'))});
    w.append(std::vector<Value>(7));
    w.append({Value::text("   "), Value(), Value(), Value(), Value(), Value(), Value::text("")});
    w.finish();
  }
  const auto r = DbfReader::open(file);
  ASSERT_EQ(r.recordCount(), 4u);
  ASSERT_EQ(r.fields().size(), 7u);
  EXPECT_EQ(r.fields()[2].name, "SHARE");
  EXPECT_EQ(r.fields()[2].type, 'N');
  EXPECT_EQ(r.fields()[2].length, 8);
  EXPECT_EQ(r.fields()[2].decimals, 2);
  EXPECT_EQ(r.record(0), (std::vector<Value>{Value::text("Wiese am Bach"), Value::integer(-42),
                                             Value::real(12.35), Value::real(0.5),
                                             Value::date({2003, 7, 14}), Value::boolean(true),
                                             Value::text("Langer Text\r\nmit zweiter Zeile")}));
  // Text right-trimmed with its leading blanks kept; the memo spans three blocks.
  EXPECT_EQ(r.record(1),
            (std::vector<Value>{Value::text("  ab"), Value::integer(999999), Value::real(3.0),
                                Value::real(-1.25), Value::date({2000, 2, 29}),
                                Value::boolean(false), Value::text(std::string(1500, 'm'))}));
  EXPECT_EQ(r.record(2), std::vector<Value>(7));
  EXPECT_EQ(r.record(3), std::vector<Value>(7));  // blank text reads as Null
  EXPECT_FALSE(r.isDeleted(0));
}

TEST_F(DbfRoundTrip, write_headerFields_asDbaseIII) {
  const auto file = dir_.path() / "header.dbf";
  DbfWriter w(file, {{"T", 'C', 4, 0}, {"M", 'M', 10, 0}}, "CP850");
  w.append({Value::text("a"), Value::text("memo")});
  w.append({Value::text("b"), Value()});
  w.finish();
  const std::string b = readFile(file);
  EXPECT_EQ(static_cast<unsigned char>(b[0]), 0x83);  // dBASE III with memo
  EXPECT_GE(static_cast<unsigned char>(b[1]), 125);   // year since 1900
  EXPECT_EQ(b[4], 2);
  EXPECT_EQ(static_cast<unsigned char>(b[8]), 32 + 64 + 1);
  EXPECT_EQ(b[10], 1 + 4 + 10);
  EXPECT_EQ(b[29], 0x02);  // CP850
  EXPECT_EQ(b[32 + 64], 0x0D);
  EXPECT_EQ(b.size(), 97u + 2 * 15 + 1);
  EXPECT_EQ(b.back(), 0x1A);
  const std::string memo = readFile(file.parent_path() / "header.dbt");
  ASSERT_EQ(memo.size(), 1024u);
  EXPECT_EQ(memo[0], 2);  // next free block
  EXPECT_EQ(memo.substr(512, 6), "memo\x1A\x1A");
}

// A writer never finished leaves nothing; a finished table stays as it was when the writer is
// used again or another writer fails on it.
TEST_F(DbfRoundTrip, write_unfinishedRepeatedOrFailed_leavesNothingOrOldFile) {
  {
    DbfWriter w(dir_.path() / "gone.dbf", {{"T", 'C', 4, 0}, {"M", 'M', 10, 0}});
    w.append({Value::text("a"), Value::text("memo")});
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
  const auto file = dir_.path() / "keep.dbf";
  DbfWriter w(file, {{"T", 'C', 4, 0}});
  w.append({Value::text("old")});
  w.finish();
  EXPECT_THROW(w.finish(), DbfError);
  EXPECT_THROW(w.append({Value()}), DbfError);
  {
    DbfWriter again(file, {{"T", 'C', 4, 0}});
    EXPECT_THROW(again.append({Value::text("too long")}), DbfError);
  }
  const auto r = DbfReader::open(file);
  ASSERT_EQ(r.recordCount(), 1u);
  EXPECT_EQ(r.record(0)[0], Value::text("old"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(DbfRoundTrip, write_badValues_throwWithFieldName) {
  const auto file = dir_.path() / "bad.dbf";
  DbfWriter w(file, allTypes());
  auto row = [](Value v, size_t at) {
    std::vector<Value> r(7);
    r[at] = std::move(v);
    return r;
  };
  EXPECT_THROW_MSG(w.append(row(Value::text(std::string(21, 'x')), 0)), DbfError,
                   "record 1, field NAME");
  EXPECT_THROW_MSG(w.append(row(Value::integer(1234567), 1)), DbfError, "does not fit");
  EXPECT_THROW_MSG(w.append(row(Value::text("12"), 1)), DbfError, "field COUNT");
  EXPECT_THROW_MSG(w.append(row(Value::date({2001, 2, 29}), 4)), DbfError, "invalid date");
  EXPECT_THROW_MSG(w.append(row(Value::text("a\x1A"), 6)), DbfError, "0x1A");
  EXPECT_THROW_MSG(w.append(std::vector<Value>(6)), DbfError, "6 values for 7 fields");
}

TEST_F(DbfRoundTrip, write_badFieldList_throws) {
  const auto file = dir_.path() / "fields.dbf";
  EXPECT_THROW(DbfWriter(file, {}), DbfError);
  EXPECT_THROW(DbfWriter(file, {{"ELEVENCHARS", 'C', 4, 0}}), DbfError);
  EXPECT_THROW(DbfWriter(file, {{"A", 'C', 4, 0}, {"a", 'C', 4, 0}}), DbfError);
  EXPECT_THROW(DbfWriter(file, {{"A", 'C', 0, 0}}), DbfError);
  EXPECT_THROW(DbfWriter(file, {{"A", 'C', 255, 0}}), DbfError);
  EXPECT_THROW(DbfWriter(file, {{"A", 'N', 4, 3}}), DbfError);
  EXPECT_THROW(DbfWriter(file, {{"A", 'D', 6, 0}}), DbfError);
  EXPECT_THROW(DbfWriter(file, {{"A", 'I', 4, 0}}), DbfError);
  EXPECT_THROW(DbfWriter(file, {{"A", 'C', 4, 0}}, "NO-SUCH-CHARSET"), DbfError);
  EXPECT_NO_THROW(DbfWriter(file, {{"A", 'D', 0, 0}}));  // fixed lengths may be left out
  EXPECT_FALSE(std::filesystem::exists(file));
}
