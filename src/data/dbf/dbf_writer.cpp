#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <set>

#include "base/byte_order.h"
#include "data/dbf/calendar.h"
#include "data/dbf/code_page.h"
#include "data/dbf/dbf_file.h"
#include "data/dbf/file_io.h"
#include "data/dbf/memo_file.h"

namespace data::dbf {
namespace {

std::string upperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string kindName(Value::Kind k) {
  switch (k) {
    case Value::Kind::Null:
      return "null";
    case Value::Kind::Text:
      return "text";
    case Value::Kind::Integer:
      return "integer";
    case Value::Kind::Real:
      return "real number";
    case Value::Kind::Boolean:
      return "logical value";
    case Value::Kind::Date:
      return "date";
  }
  return "value";
}

}  // namespace

struct DbfWriter::Impl {
  std::filesystem::path path;
  std::vector<FieldDescriptor> fields;
  std::string codePage;
  uint8_t ldid = 0;
  std::optional<Converter> fromUtf8;
  size_t recordLength = 1;
  std::string records;
  uint32_t count = 0;
  bool hasMemo = false;
  DbtBuilder memo;
  bool finished = false;

  [[noreturn]] void fail(const std::string& what) const {
    throw DbfError(path.string() + ": " + what);
  }
  [[noreturn]] void fail(const FieldDescriptor& f, const std::string& what) const {
    fail("record " + std::to_string(uint64_t{count} + 1) + ", field " + f.name + ": " + what);
  }

  void checkFields();
  std::string encode(const FieldDescriptor& f, const std::string& text) const;
  void putField(char* out, const FieldDescriptor& f, const Value& v);
  std::string header() const;
};

void DbfWriter::Impl::checkFields() {
  if (fields.empty()) fail("a table needs at least one field");
  std::set<std::string> names;
  for (auto& f : fields) {
    if (f.name.empty() || f.name.size() > 10)
      fail("the field name \"" + f.name + "\" must have 1 to 10 characters");
    for (char c : f.name)
      if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F)
        fail("the field name \"" + f.name + "\" may hold only printable ASCII characters");
    if (!names.insert(upperAscii(f.name)).second) fail("the field name " + f.name + " repeats");
    auto fixed = [&](uint8_t length) {
      if (f.length == 0) f.length = length;
      if (f.length != length || f.decimals != 0)
        fail("field " + f.name + " of type " + std::string(1, f.type) + " must have length " +
             std::to_string(length) + " and no decimals");
    };
    switch (f.type) {
      case 'C':
        if (f.length == 0 || f.length > 254 || f.decimals != 0)
          fail("field " + f.name + " of type C needs a length of 1 to 254 and no decimals");
        break;
      case 'N':
      case 'F':
        if (f.length == 0 || f.length > 20 || (f.decimals > 0 && f.decimals + 2 > f.length))
          fail("field " + f.name + " of type " + std::string(1, f.type) +
               " needs a length of 1 to 20 with room for its decimals");
        break;
      case 'D':
        fixed(8);
        break;
      case 'L':
        fixed(1);
        break;
      case 'M':
        fixed(10);
        hasMemo = true;
        break;
      default:
        fail("field " + f.name + " has the type " + std::string(1, f.type) +
             ", which cannot be written (C, N, F, D, L, M)");
    }
    recordLength += f.length;
  }
  if (recordLength > 0xFFFF) fail("the record is longer than 65535 bytes");
  if (32 + 32 * fields.size() + 1 > 0xFFFF) fail("too many fields");
}

std::string DbfWriter::Impl::encode(const FieldDescriptor& f, const std::string& text) const {
  auto out = fromUtf8->convert(text, false);
  if (!out) fail(f, "\"" + text + "\" holds a character that " + codePage + " cannot represent");
  return std::move(*out);
}

void DbfWriter::Impl::putField(char* out, const FieldDescriptor& f, const Value& v) {
  if (v.isNull()) return;  // the record is blank already
  auto mismatch = [&] {
    fail(f, "a " + kindName(v.kind()) + " cannot be stored in type " + f.type);
  };
  switch (f.type) {
    case 'C': {
      if (v.kind() != Value::Kind::Text) mismatch();
      const std::string bytes = encode(f, v.asText());
      if (bytes.size() > f.length)
        fail(f, "\"" + v.asText() + "\" needs " + std::to_string(bytes.size()) +
                    " bytes, the field holds " + std::to_string(f.length));
      bytes.copy(out, bytes.size());
      return;
    }
    case 'N':
    case 'F': {
      char buf[64];
      int n = 0;
      if (v.kind() == Value::Kind::Integer) {
        n = f.decimals == 0
                ? std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v.asInteger()))
                : std::snprintf(buf, sizeof buf, "%lld.%0*d", static_cast<long long>(v.asInteger()),
                                static_cast<int>(f.decimals), 0);
      } else if (v.kind() == Value::Kind::Real) {
        if (!std::isfinite(v.asReal())) fail(f, "a number must be finite");
        // "%.*f" follows LC_NUMERIC; dBASE always uses a point.
        n = std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(f.decimals), v.asReal());
        for (int i = 0; i < n; ++i)
          if (buf[i] == ',') buf[i] = '.';
        if (std::string_view(buf, static_cast<size_t>(n)) == "-0")
          n = std::snprintf(buf, sizeof buf, "0");
      } else {
        mismatch();
      }
      if (n < 0 || n > f.length)
        fail(f,
             std::string(buf) + " does not fit into " + std::to_string(f.length) + " characters");
      std::copy(buf, buf + n, out + (f.length - n));  // numbers are right-aligned
      return;
    }
    case 'D': {
      if (v.kind() != Value::Kind::Date) mismatch();
      const Date d = v.asDate();
      if (!validDate(d)) fail(f, "invalid date");
      char buf[48];
      std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year, d.month, d.day);
      std::copy(buf, buf + 8, out);
      return;
    }
    case 'L':
      if (v.kind() != Value::Kind::Boolean) mismatch();
      out[0] = v.asBoolean() ? 'T' : 'F';
      return;
    case 'M': {
      if (v.kind() != Value::Kind::Text) mismatch();
      if (v.asText().empty()) return;
      const std::string bytes = encode(f, v.asText());
      if (bytes.find('\x1A') != std::string::npos) fail(f, "a memo cannot hold the character 0x1A");
      char buf[48];
      std::snprintf(buf, sizeof buf, "%10u", memo.append(bytes));
      std::copy(buf, buf + 10, out);
      return;
    }
    default:
      mismatch();
  }
}

std::string DbfWriter::Impl::header() const {
  const size_t length = 32 + 32 * fields.size() + 1;
  std::string h(length, '\0');
  h[0] = static_cast<char>(hasMemo ? 0x83 : 0x03);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  h[1] = static_cast<char>(local.tm_year % 256);  // years since 1900
  h[2] = static_cast<char>(local.tm_mon + 1);
  h[3] = static_cast<char>(local.tm_mday);
  base::bytes::storeLE(h.data() + 4, static_cast<uint32_t>(count));
  base::bytes::storeLE(h.data() + 8, static_cast<uint16_t>(length));
  base::bytes::storeLE(h.data() + 10, static_cast<uint16_t>(recordLength));
  h[29] = static_cast<char>(ldid);
  size_t at = 32;
  for (const auto& f : fields) {
    f.name.copy(h.data() + at, f.name.size());
    h[at + 11] = f.type;
    h[at + 16] = static_cast<char>(f.length);
    h[at + 17] = static_cast<char>(f.decimals);
    at += 32;
  }
  h[at] = '\x0D';
  return h;
}

DbfWriter::DbfWriter(std::filesystem::path path, std::vector<FieldDescriptor> fields,
                     std::string codePage)
    : impl_(std::make_unique<Impl>()) {
  impl_->path = std::move(path);
  impl_->fields = std::move(fields);
  impl_->codePage = normalizeCodePage(codePage);
  impl_->ldid = ldidForCodePage(impl_->codePage);
  try {
    impl_->fromUtf8.emplace(impl_->codePage, "UTF-8");
  } catch (const std::invalid_argument&) {
    impl_->fail("the code page " + codePage + " is not supported");
  }
  impl_->checkFields();
}

DbfWriter::~DbfWriter() = default;

void DbfWriter::append(const std::vector<Value>& record) {
  Impl& w = *impl_;
  if (w.finished) w.fail("the table is finished, no record can be added");
  if (record.size() != w.fields.size())
    w.fail("record " + std::to_string(uint64_t{w.count} + 1) + " has " +
           std::to_string(record.size()) + " values for " + std::to_string(w.fields.size()) +
           " fields");
  if (w.count == 0xFFFFFFFFu) w.fail("too many records");
  std::string row(w.recordLength, ' ');
  size_t at = 1;
  for (size_t i = 0; i < record.size(); ++i) {
    w.putField(row.data() + at, w.fields[i], record[i]);
    at += w.fields[i].length;
  }
  w.records += row;
  ++w.count;
}

void DbfWriter::finish() {
  Impl& w = *impl_;
  if (w.finished) w.fail("the table is finished already");
  std::optional<TempFile> memoFile;
  std::optional<TempFile> cpgFile;
  if (w.hasMemo) {
    std::filesystem::path memoPath = w.path;
    const std::string ext = w.path.extension().string();
    memoPath.replace_extension(!ext.empty() && ext == upperAscii(ext) && ext != "." ? ".DBT"
                                                                                    : ".dbt");
    memoFile.emplace(memoPath);
    memoFile->write(w.memo.finish());
  }
  if (w.ldid == 0) {
    // No language driver names this code page; GIS tools read it from a ".cpg" file.
    std::filesystem::path cpg = w.path;
    cpg.replace_extension(".cpg");
    cpgFile.emplace(cpg);
    cpgFile->write(w.codePage);
  }
  TempFile table(w.path);
  table.write(w.header());
  table.write(w.records);
  table.write("\x1A");
  if (memoFile) memoFile->commit();
  if (cpgFile) cpgFile->commit();
  table.commit();
  w.finished = true;
  w.records.clear();
  w.records.shrink_to_fit();
}

}  // namespace data::dbf
