#pragma once
// The state of an open dBASE table behind DbfReader, shared by the two files that read it: the
// header and the records (dbf_reader.cpp) and the values of its fields (dbf_field_decoding.cpp).
// Nothing else includes it.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/dbf/code_page.h"
#include "data/dbf/dbf_file.h"
#include "data/dbf/memo_file.h"

namespace data::dbf {
namespace detail {

enum class Layout { Dbase, VisualFoxPro, Dbase7 };

// A value that cannot be read: the strict record() turns it into a DbfError naming file, record
// and field, the lenient one into a BadValue.
struct FieldFailure {
  std::string stored;   // the field's content as text
  std::string message;  // what follows "Feld NAME: "
};

struct Column {
  FieldDescriptor descriptor;
  size_t offset = 0;        // within the record, after the deletion flag
  int nullBit = -1;         // Visual FoxPro nullable fields: bit in _NullFlags
  bool memoBinary = false;  // memo pointer stored as 4-byte integer (Visual FoxPro)
};

inline std::string_view rightTrimmed(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return s;
}

inline std::string_view trimmed(std::string_view s) {
  s = rightTrimmed(s);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
  return s;
}

}  // namespace detail

using detail::Column;
using detail::FieldFailure;
using detail::Layout;
using detail::trimmed;

struct DbfReader::Impl {
  std::filesystem::path path;
  std::string data;
  Layout layout = Layout::Dbase;
  std::vector<FieldDescriptor> fields;
  std::vector<Column> columns;
  uint32_t recordCount = 0;
  uint32_t headerCount = 0;  // as the header gives it
  OpenOptions options;
  bool memoMissing = false;
  size_t headerLength = 0;
  size_t recordLength = 0;
  std::string codePage;
  bool guessed = false;             // no ".cpg" and no language driver byte named it
  mutable bool misDecoded = false;  // see textsMisDecoded
  std::optional<Converter> toUtf8;
  std::optional<MemoReader> memo;
  std::optional<size_t> nullFlagsOffset;
  size_t nullFlagsLength = 0;
  std::string headerNote;

  [[noreturn]] void fail(const std::string& what) const {
    throw DbfError(path.string() + ": " + what);
  }
  [[noreturn]] void fail(std::string_view stored, const std::string& what) const {
    throw FieldFailure{toText(trimmed(stored)), what};
  }

  // parseHeader's steps: the first 32 bytes, each field descriptor, the record's layout.
  void parseHeader();
  void readFixedHeader();
  Column readDescriptor(const char* descriptor) const;
  void checkFieldLength(const std::string& fieldName, Column& c) const;
  void addColumn(Column c, uint8_t flags, int& nullBits);
  void checkRecordLayout(size_t fieldBytes, int nullBits);
  void countRecordsBehindHeaderCount();
  void chooseCodePage(const std::string& forced);
  void openMemo();
  const char* recordAt(uint32_t index) const;
  Value decode(const Column& c, const char* record) const;
  Value decodeNumber(const Column& c, std::string_view raw) const;
  Value decodeMemo(const Column& c, std::string_view raw, bool text) const;
  std::string toText(std::string_view raw) const;
  // toText for a value's text, noting a text that is not in the code page.
  Value textValue(std::string_view raw) const;
};

}  // namespace data::dbf
