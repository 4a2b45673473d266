#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "base/ascii_case.h"
#include "base/byte_order.h"
#include "data/dbf/code_page.h"
#include "data/dbf/dbf_file.h"
#include "data/dbf/dbf_reader_impl.h"
#include "data/dbf/file_io.h"
#include "data/dbf/memo_file.h"

namespace data::dbf {
namespace {

using base::bytes::loadBE;
using base::bytes::loadLE;

// dBASE tables are limited to 2 GB; anything beyond 4 GB is not a table.
constexpr uint64_t kMaxTableFile = uint64_t{1} << 32;

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

}  // namespace

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
