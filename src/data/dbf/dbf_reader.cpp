#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "base/ascii_case.h"
#include "base/byte_order.h"
#include "data/dbf/code_page.h"
#include "data/dbf/dbf_file.h"
#include "data/dbf/file_io.h"
#include "data/dbf/memo_file.h"

namespace data::dbf {
namespace {

using base::bytes::loadBE;
using base::bytes::loadLE;

// dBASE tables are limited to 2 GB; anything beyond 4 GB is not a table.
constexpr uint64_t kMaxTableFile = uint64_t{1} << 32;

enum class Layout { Dbase, VisualFoxPro, Dbase7 };

std::optional<Layout> layoutFor(uint8_t version) {
  switch (version) {
    case 0x03:  // dBASE III/IV/5, FoxPro, without memo
    case 0x83:  // dBASE III with memo
    case 0x8B:  // dBASE IV with memo
    case 0xCB:  // dBASE IV with SQL table and memo
    case 0x43:
    case 0x63:  // dBASE IV SQL tables
    case 0xE5:  // Clipper SIX driver with memo
    case 0xF5:  // FoxPro 2 with memo
    case 0xFB:  // FoxBASE
      return Layout::Dbase;
    case 0x30:
    case 0x31:
    case 0x32:  // Visual FoxPro
      return Layout::VisualFoxPro;
    case 0x04:
    case 0x8C:  // dBASE 7
      return Layout::Dbase7;
    default:
      return std::nullopt;
  }
}

std::string hexByte(uint8_t b) {
  static constexpr char digits[] = "0123456789ABCDEF";
  return std::string("0x") + digits[b >> 4] + digits[b & 15];
}

std::string_view rightTrimmed(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return s;
}

std::string_view trimmed(std::string_view s) {
  s = rightTrimmed(s);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
  return s;
}

bool validDate(int y, int m, int d) {
  static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > days[m - 1]) return false;
  if (m == 2 && d == 29) return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return true;
}

// Gregorian date of a Julian day number (as FoxPro date-time and dBASE 7 time stamps count).
Date fromJulianDay(int64_t jdn) {
  const int64_t a = jdn + 32044;
  const int64_t b = (4 * a + 3) / 146097;
  const int64_t c = a - 146097 * b / 4;
  const int64_t d = (4 * c + 3) / 1461;
  const int64_t e = c - 1461 * d / 4;
  const int64_t m = (5 * e + 2) / 153;
  return Date{static_cast<int>(100 * b + d - 4800 + m / 10),
              static_cast<int>(m + 3 - 12 * (m / 10)), static_cast<int>(e - (153 * m + 2) / 5 + 1)};
}

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

}  // namespace

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

void DbfReader::Impl::parseHeader() {
  readFixedHeader();
  size_t at = layout == Layout::Dbase7 ? 68 : 32;
  const size_t descriptorSize = layout == Layout::Dbase7 ? 48 : 32;
  size_t offset = 0;
  int nullBits = 0;
  for (;;) {
    if (at < headerLength && data[at] == '\x0D') break;
    if (at + descriptorSize >= headerLength)
      fail("die Feldbeschreibungen enden nicht mit 0x0D innerhalb des Kopfs von " +
           std::to_string(headerLength) + " bytes");
    Column c = readDescriptor(data.data() + at);
    c.offset = offset;
    offset += c.descriptor.length;
    const uint8_t flags = layout == Layout::VisualFoxPro ? static_cast<uint8_t>(data[at + 18]) : 0;
    addColumn(c, flags, nullBits);
    at += descriptorSize;
  }
  checkRecordLayout(offset, nullBits);
  countRecordsBehindHeaderCount();
}

void DbfReader::Impl::readFixedHeader() {
  if (data.size() < 32) fail("die Datei ist zu kurz für einen dBASE-Kopf");
  const auto version = static_cast<uint8_t>(data[0]);
  const auto layoutOpt = layoutFor(version);
  if (!layoutOpt) fail("unbekanntes dBASE-Versionsbyte " + hexByte(version));
  layout = *layoutOpt;
  recordCount = loadLE<uint32_t>(data.data() + 4);
  headerCount = recordCount;
  headerLength = loadLE<uint16_t>(data.data() + 8);
  recordLength = loadLE<uint16_t>(data.data() + 10);
  const size_t firstDescriptor = layout == Layout::Dbase7 ? 68 : 32;
  if (headerLength < firstDescriptor + 1)
    fail("die Kopflänge " + std::to_string(headerLength) + " ist zu klein");
  if (headerLength > data.size())
    fail("der Kopf gibt " + std::to_string(headerLength) + " Bytes an, die Datei hat aber nur " +
         std::to_string(data.size()));
}

Column DbfReader::Impl::readDescriptor(const char* d) const {
  const size_t nameLength = layout == Layout::Dbase7 ? 32 : 11;
  Column c;
  c.descriptor.name.assign(d, strnlen(d, nameLength));
  // Some writers pad names with blanks instead of NUL bytes.
  while (!c.descriptor.name.empty() && c.descriptor.name.back() == ' ')
    c.descriptor.name.pop_back();
  const size_t typeAt = layout == Layout::Dbase7 ? 32 : 11;
  c.descriptor.type = d[typeAt];
  c.descriptor.length = static_cast<uint8_t>(d[typeAt + 1 + (layout == Layout::Dbase7 ? 0 : 4)]);
  c.descriptor.decimals = static_cast<uint8_t>(d[typeAt + 2 + (layout == Layout::Dbase7 ? 0 : 4)]);
  const std::string fieldName =
      "Feld " + std::to_string(columns.size() + 1) +
      (c.descriptor.name.empty() ? std::string() : " (" + c.descriptor.name + ")");
  if (c.descriptor.name.empty()) fail(fieldName + " hat keinen Namen");
  for (char ch : c.descriptor.name)
    if (static_cast<unsigned char>(ch) < 0x20) fail(fieldName + " hat einen ungültigen Namen");
  if (c.descriptor.length == 0) fail(fieldName + " hat die Länge 0");
  checkFieldLength(fieldName, c);
  return c;
}

void DbfReader::Impl::checkFieldLength(const std::string& fieldName, Column& c) const {
  const char type = c.descriptor.type;
  const unsigned length = c.descriptor.length;
  auto requireLength = [&](std::initializer_list<unsigned> allowed) {
    if (std::find(allowed.begin(), allowed.end(), length) == allowed.end())
      fail(fieldName + " vom Typ " + std::string(1, type) + " hat die ungültige Länge " +
           std::to_string(length));
  };
  switch (type) {
    case 'D':
      requireLength({8});
      break;
    case 'L':
      requireLength({1});
      break;
    case 'I':
    case '+':
      requireLength({4});
      break;
    case 'Y':
    case 'T':
    case 'O':
    case '@':
      requireLength({8});
      break;
    case 'B':
      if (layout == Layout::VisualFoxPro)
        requireLength({8});
      else
        requireLength({10});
      break;
    case 'M':
    case 'G':
    case 'P':
      if (layout == Layout::VisualFoxPro)
        requireLength({4, 10});
      else
        requireLength({10});
      c.memoBinary = length == 4;
      break;
    default:
      break;
  }
}

void DbfReader::Impl::addColumn(Column c, uint8_t flags, int& nullBits) {
  const char type = c.descriptor.type;
  if (layout == Layout::VisualFoxPro && (flags & 0x01) != 0) {
    // System columns such as _NullFlags are not data; remember where the null bits live.
    if (type == '0') {
      nullFlagsOffset = c.offset;
      nullFlagsLength = c.descriptor.length;
    }
    return;
  }
  if (layout == Layout::VisualFoxPro && (flags & 0x02) != 0) c.nullBit = nullBits++;
  if (layout == Layout::VisualFoxPro && (type == 'V' || type == 'Q')) ++nullBits;
  columns.push_back(c);
  fields.push_back(c.descriptor);
}

void DbfReader::Impl::checkRecordLayout(size_t fieldBytes, int nullBits) {
  if (columns.empty()) fail("die Tabelle hat keine Felder");
  if (fieldBytes + 1 != recordLength)
    fail("die Satzlänge " + std::to_string(recordLength) + " passt nicht zu den Feldern, die " +
         std::to_string(fieldBytes + 1) + " Bytes brauchen");
  if (nullBits > 0 && (!nullFlagsOffset || nullFlagsLength * 8 < static_cast<size_t>(nullBits)))
    fail("Felder, die leer bleiben dürfen, ohne passende Spalte _NullFlags");
  const uint64_t needed = uint64_t{headerLength} + uint64_t{recordCount} * recordLength;
  if (needed <= data.size()) return;
  if (!options.shortFile)
    fail("der Kopf gibt " + std::to_string(recordCount) + " Datensätze zu je " +
         std::to_string(recordLength) + " Bytes an, mehr als die Datei enthält (" +
         std::to_string(needed) + " Bytes nötig, " + std::to_string(data.size()) + " vorhanden)");
  const uint64_t held = (data.size() - headerLength) / recordLength;
  headerNote = "der Kopf nennt " + std::to_string(recordCount) +
               (recordCount == 1 ? " Datensatz" : " Datensätze") + ", die Datei enthält aber nur " +
               std::to_string(held) + "; die fehlenden sind verloren";
  recordCount = static_cast<uint32_t>(held);
}

// A whole record begins with its deletion flag, a blank or "*"; the end-of-file byte 0x1A or
// padding behind the last record is no record.
void DbfReader::Impl::countRecordsBehindHeaderCount() {
  uint64_t held = recordCount;
  for (uint64_t at = headerLength + held * recordLength; at + recordLength <= data.size();
       at += recordLength, ++held) {
    if (data[at] != ' ' && data[at] != '*') break;
    if (held == UINT32_MAX) break;
  }
  if (held == recordCount) return;
  headerNote = "der Kopf nennt " + std::to_string(recordCount) +
               (recordCount == 1 ? " Datensatz" : " Datensätze") + ", die Datei enthält aber " +
               std::to_string(held) + "; alle " + std::to_string(held) + " werden gelesen";
  recordCount = static_cast<uint32_t>(held);
}

void DbfReader::Impl::chooseCodePage(const std::string& forced) {
  // A ".cpg" file is the user's own statement and wins; then the language driver byte; a table
  // with neither is judged by its bytes (with its memo file, which shares its code page).
  if (!forced.empty()) {
    codePage = normalizeCodePage(forced);
  } else if (const auto cpg = findSibling(path, ".cpg")) {
    codePage = normalizeCodePage(readWholeFile(*cpg, 256));
    if (codePage.empty()) fail("die Codepage-Datei " + cpg->string() + " ist leer");
  } else {
    codePage = codePageForLdid(static_cast<uint8_t>(data[29]));
  }
  if (codePage.empty()) {
    codePage = guessCodePage(std::string_view(data).substr(headerLength));
    if (codePage.empty()) {
      const auto version = static_cast<uint8_t>(data[0]);
      const bool fox = layout == Layout::VisualFoxPro || version == 0xF5 || version == 0xFB;
      if (const auto memoFile = findMemoFile(path, fox))
        codePage = guessCodePage(readWholeFile(*memoFile, kMaxTableFile));
    }
    if (codePage.empty()) codePage = "CP1252";
    guessed = true;
  }
  try {
    toUtf8.emplace("UTF-8", codePage);
  } catch (const std::invalid_argument&) {
    fail("die Codepage " + codePage + " wird nicht unterstützt");
  }
}

void DbfReader::Impl::openMemo() {
  bool needsMemo = false;
  for (const auto& c : columns) {
    const char t = c.descriptor.type;
    if (t == 'M' || t == 'G' || t == 'P' || (t == 'B' && layout != Layout::VisualFoxPro))
      needsMemo = true;
  }
  if (!needsMemo) return;
  const auto version = static_cast<uint8_t>(data[0]);
  const bool fox = layout == Layout::VisualFoxPro || version == 0xF5 || version == 0xFB;
  const auto file = findMemoFile(path, fox);
  if (!file && options.withoutMemoFile) {
    memoMissing = true;
    return;
  }
  if (!file) fail("die Tabelle hat Memofelder, aber ihre Memodatei (.dbt oder .fpt) fehlt");
  MemoKind kind = MemoKind::DbaseIV;
  if (base::equalsNoCase(file->extension().string(), ".fpt"))
    kind = MemoKind::FoxPro;
  else if (version == 0x83)
    kind = MemoKind::DbaseIII;
  memo.emplace(*file, kind);
}

const char* DbfReader::Impl::recordAt(uint32_t index) const {
  if (index >= recordCount)
    fail("Datensatz " + std::to_string(uint64_t{index} + 1) + " gibt es nicht, die Tabelle hat " +
         std::to_string(recordCount));
  return data.data() + headerLength + size_t{index} * recordLength;
}

std::string DbfReader::Impl::toText(std::string_view raw) const {
  return *toUtf8->convert(raw, true);
}

Value DbfReader::Impl::textValue(std::string_view raw) const {
  std::optional<std::string> text = toUtf8->convert(raw, false);
  if (!text) {
    misDecoded = true;
    return Value::text(toText(raw));
  }
  // U+0080..U+009F, in UTF-8 0xC2 0x80..0x9F.
  for (std::size_t i = 0; !misDecoded && i + 1 < text->size(); ++i)
    if (static_cast<unsigned char>((*text)[i]) == 0xC2 &&
        (static_cast<unsigned char>((*text)[i + 1]) & 0xE0) == 0x80)
      misDecoded = true;
  return Value::text(std::move(*text));
}

Value DbfReader::Impl::decodeNumber(const Column& c, std::string_view raw) const {
  const std::string_view t = trimmed(raw);
  if (t.empty()) return {};
  // dBASE fills a field with asterisks when the value did not fit; there is no value then.
  if (std::all_of(t.begin(), t.end(), [](char ch) { return ch == '*'; })) return {};
  std::string text(t);
  std::replace(text.begin(), text.end(), ',', '.');
  const bool integral =
      c.descriptor.decimals == 0 && text.find_first_of(".eE") == std::string::npos;
  char* end = nullptr;
  if (integral) {
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (*end == '\0' && end != text.c_str() && errno == 0) return Value::integer(v);
  }
  // dBASE writes a point whatever the user's locale; from_chars ignores LC_NUMERIC.
  const char* first = text.c_str();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  double v = 0;
  const auto [ptr, ec] = std::from_chars(first, last, v);
  if (ec != std::errc() || ptr != last || first == last || !std::isfinite(v))
    fail(t, "\"" + toText(t) + "\" ist keine Zahl");
  return Value::real(v);
}

Value DbfReader::Impl::decodeMemo(const Column& c, std::string_view raw, bool text) const {
  uint64_t block = 0;
  if (c.memoBinary) {
    block = loadLE<uint32_t>(raw.data());
  } else {
    const std::string_view t = trimmed(raw);
    if (t.empty()) return {};
    for (char ch : t) {
      if (ch < '0' || ch > '9') fail(t, "ungültige Memoblocknummer \"" + std::string(t) + "\"");
      block = block * 10 + static_cast<uint64_t>(ch - '0');
    }
  }
  if (block == 0 || !memo) return {};
  std::string content;
  try {
    content = memo->read(block);
  } catch (const DbfError& e) {
    fail(raw, e.what());
  }
  if (!text) return content.empty() ? Value() : Value::text(std::move(content));
  const std::string_view shown = rightTrimmed(content);
  if (shown.empty()) return {};
  return textValue(shown);
}

Value DbfReader::Impl::decode(const Column& c, const char* record) const {
  if (c.nullBit >= 0) {
    const auto byte = static_cast<unsigned char>(record[1 + *nullFlagsOffset + c.nullBit / 8]);
    if (byte & (1u << (c.nullBit % 8))) return {};
  }
  const std::string_view raw(record + 1 + c.offset, c.descriptor.length);
  const bool dbase7 = layout == Layout::Dbase7;
  switch (c.descriptor.type) {
    case 'N':
    case 'F':
      return decodeNumber(c, raw);
    case 'D': {
      const std::string_view t = trimmed(raw);
      if (t.empty() || t == "00000000") return {};
      if (t.size() != 8 ||
          !std::all_of(t.begin(), t.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
        fail(t, "\"" + toText(t) + "\" ist kein Datum");
      const int y = std::atoi(std::string(t.substr(0, 4)).c_str());
      const int m = std::atoi(std::string(t.substr(4, 2)).c_str());
      const int d = std::atoi(std::string(t.substr(6, 2)).c_str());
      if (!validDate(y, m, d)) fail(t, "\"" + std::string(t) + "\" ist kein gültiges Datum");
      return Value::date(Date{y, m, d});
    }
    case 'L':
      switch (raw[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
          return Value::boolean(true);
        case 'F':
        case 'f':
        case 'N':
        case 'n':
          return Value::boolean(false);
        case '?':
        case ' ':
        case '\0':
          return {};
        default:
          fail(raw, "\"" + toText(raw) + "\" ist kein Wahrheitswert");
      }
      return {};
    case 'I':
    case '+':
      if (dbase7) {
        // dBASE 7 stores integers big-endian with the sign bit inverted, so that they sort.
        const uint32_t u = loadBE<uint32_t>(raw.data()) ^ 0x80000000u;
        return Value::integer(static_cast<int32_t>(u));
      }
      return Value::integer(static_cast<int32_t>(loadLE<uint32_t>(raw.data())));
    case 'B':
      if (layout == Layout::VisualFoxPro)
        return Value::real(std::bit_cast<double>(loadLE<uint64_t>(raw.data())));
      return decodeMemo(c, raw, false);
    case 'O': {
      uint64_t u = loadBE<uint64_t>(raw.data());
      u = (u & 0x8000000000000000ull) ? (u ^ 0x8000000000000000ull) : ~u;
      return Value::real(std::bit_cast<double>(u));
    }
    case 'Y':
      return Value::real(static_cast<double>(static_cast<int64_t>(loadLE<uint64_t>(raw.data()))) /
                         10000.0);
    case 'T': {
      const auto day = static_cast<int32_t>(loadLE<uint32_t>(raw.data()));
      if (day <= 0) return {};
      return Value::date(fromJulianDay(day));
    }
    case '@': {
      uint64_t u = loadBE<uint64_t>(raw.data());
      if (u == 0) return {};
      u = (u & 0x8000000000000000ull) ? (u ^ 0x8000000000000000ull) : ~u;
      const double ms = std::bit_cast<double>(u);
      if (!std::isfinite(ms) || ms <= 0 || ms > 1e15) return {};
      return Value::date(fromJulianDay(static_cast<int64_t>(ms / 86400000.0)));
    }
    case 'M':
      return decodeMemo(c, raw, true);
    case 'G':
    case 'P':
      return decodeMemo(c, raw, false);
    default: {
      // Character fields and types this reader does not know: the text as it stands. Only
      // texts tell whether the code page is right; binary fields hold any byte.
      const std::string_view t = rightTrimmed(raw);
      if (t.empty()) return {};
      const char type = c.descriptor.type;
      return type == 'C' || type == 'V' ? textValue(t) : Value::text(toText(t));
    }
  }
}

DbfReader DbfReader::open(const std::filesystem::path& path) {
  return open(path, OpenOptions{});
}

DbfReader DbfReader::open(const std::filesystem::path& path, const OpenOptions& options) {
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->options = options;
  impl->data = readWholeFile(path, kMaxTableFile);
  impl->parseHeader();
  impl->chooseCodePage(options.codePage);
  impl->openMemo();
  return DbfReader(std::move(impl));
}

DbfReader::DbfReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DbfReader::DbfReader(DbfReader&&) noexcept = default;
DbfReader& DbfReader::operator=(DbfReader&&) noexcept = default;
DbfReader::~DbfReader() = default;

const std::filesystem::path& DbfReader::path() const {
  return impl_->path;
}
const std::vector<FieldDescriptor>& DbfReader::fields() const {
  return impl_->fields;
}
uint32_t DbfReader::recordCount() const {
  return impl_->recordCount;
}
const std::string& DbfReader::codePage() const {
  return impl_->codePage;
}
bool DbfReader::codePageGuessed() const {
  return impl_->guessed;
}
bool DbfReader::textsMisDecoded() const {
  return impl_->misDecoded;
}

bool DbfReader::isDeleted(uint32_t index) const {
  return impl_->recordAt(index)[0] == '*';
}

std::string_view DbfReader::rawRecord(uint32_t index) const {
  return {impl_->recordAt(index), impl_->recordLength};
}

std::string_view DbfReader::rawDescriptors() const {
  return std::string_view(impl_->data).substr(32, impl_->headerLength - 32);
}

const std::string& DbfReader::headerNote() const {
  return impl_->headerNote;
}
uint32_t DbfReader::headerRecordCount() const {
  return impl_->headerCount;
}
bool DbfReader::memoFileMissing() const {
  return impl_->memoMissing;
}

std::vector<Value> DbfReader::record(uint32_t index) const {
  const char* rec = impl_->recordAt(index);
  std::vector<Value> values;
  values.reserve(impl_->columns.size());
  for (const auto& c : impl_->columns) {
    try {
      values.push_back(impl_->decode(c, rec));
    } catch (const FieldFailure& f) {
      throw DbfError(impl_->path.string() + ": Datensatz " + std::to_string(index + 1) + ", Feld " +
                     c.descriptor.name + ": " + f.message);
    }
  }
  return values;
}

std::vector<Value> DbfReader::record(uint32_t index, std::vector<BadValue>& bad) const {
  const char* rec = impl_->recordAt(index);
  std::vector<Value> values;
  values.reserve(impl_->columns.size());
  for (const auto& c : impl_->columns) {
    try {
      values.push_back(impl_->decode(c, rec));
    } catch (const FieldFailure& f) {
      values.emplace_back();
      bad.push_back({index + 1, c.descriptor.name, f.stored, f.message});
    }
  }
  return values;
}

}  // namespace data::dbf
