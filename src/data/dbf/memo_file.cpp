#include "data/dbf/memo_file.h"

#include "base/byte_order.h"
#include "base/file_lookup.h"
#include "data/dbf/dbf_file.h"
#include "data/dbf/file_io.h"

namespace data::dbf {
namespace {

constexpr uint64_t kMaxMemoFile = uint64_t{1} << 32;
constexpr uint32_t kDbtBlock = 512;

uint32_t le32(const std::string& d, size_t at) {
  return base::bytes::loadLE<uint32_t>(d.data() + at);
}

uint32_t be32(const std::string& d, size_t at) {
  return base::bytes::loadBE<uint32_t>(d.data() + at);
}

}  // namespace

MemoReader::MemoReader(std::filesystem::path path, MemoKind kind)
    : path_(std::move(path)), kind_(kind), data_(readWholeFile(path_, kMaxMemoFile)) {
  const std::string name = path_.string();
  if (kind_ == MemoKind::FoxPro) {
    if (data_.size() < 512) throw DbfError(name + ": der Kopf der Memodatei ist unvollständig");
    blockSize_ = base::bytes::loadBE<uint16_t>(data_.data() + 6);
    if (blockSize_ == 0) throw DbfError(name + ": die Memodatei gibt die Blockgröße 0 an");
  } else if (kind_ == MemoKind::DbaseIV) {
    if (data_.size() < 22) throw DbfError(name + ": der Kopf der Memodatei ist unvollständig");
    const uint32_t declared = base::bytes::loadLE<uint16_t>(data_.data() + 20);
    // Some writers leave the field empty; 512 is the default then.
    blockSize_ = declared == 0 ? kDbtBlock : declared;
  } else if (data_.size() < kDbtBlock) {
    throw DbfError(name + ": der Kopf der Memodatei ist unvollständig");
  }
}

std::string MemoReader::read(uint64_t block) const {
  const std::string name = path_.string();
  const uint64_t start = block * blockSize_;
  const uint64_t headerEnd = kind_ == MemoKind::FoxPro ? 512 : blockSize_;
  if (start < headerEnd)
    throw DbfError(name + ": Memoblock " + std::to_string(block) +
                   " zeigt in den Kopf der Memodatei");
  if (start >= data_.size())
    throw DbfError(name + ": Memoblock " + std::to_string(block) +
                   " liegt hinter dem Ende der Memodatei");
  const size_t at = static_cast<size_t>(start);
  auto lengthChecked = [&](uint64_t from, uint64_t length) {
    if (from + length > data_.size())
      throw DbfError(name + ": das Memo in Block " + std::to_string(block) + " gibt " +
                     std::to_string(length) + " Bytes an, mehr als die Memodatei enthält");
    return data_.substr(static_cast<size_t>(from), static_cast<size_t>(length));
  };
  if (kind_ == MemoKind::FoxPro) {
    if (at + 8 > data_.size())
      throw DbfError(name + ": Memoblock " + std::to_string(block) + " ist abgeschnitten");
    return lengthChecked(at + 8, be32(data_, at + 4));
  }
  // dBASE IV writes a header FF FF 08 00 and the length including those 8 bytes; dBASE III
  // (and some dBASE IV memos copied from it) end the text with 0x1A instead.
  if (at + 8 <= data_.size() && data_.compare(at, 4, "\xFF\xFF\x08\x00", 4) == 0) {
    const uint32_t length = le32(data_, at + 4);
    if (length < 8)
      throw DbfError(name + ": das Memo in Block " + std::to_string(block) +
                     " gibt die ungültige Länge " + std::to_string(length) + " an");
    return lengthChecked(at + 8, length - 8);
  }
  const size_t end = data_.find('\x1A', at);
  return data_.substr(at, (end == std::string::npos ? data_.size() : end) - at);
}

std::optional<std::filesystem::path> findSibling(const std::filesystem::path& table,
                                                 const std::string& ext) {
  std::filesystem::path found =
      base::findFileNoCase(table.parent_path(), table.stem().string() + ext);
  if (found.empty()) return std::nullopt;
  return found;
}

std::optional<std::filesystem::path> findMemoFile(const std::filesystem::path& table,
                                                  bool preferFpt) {
  auto dbt = findSibling(table, ".dbt");
  auto fpt = findSibling(table, ".fpt");
  if (preferFpt) return fpt ? fpt : dbt;
  return dbt ? dbt : fpt;
}

DbtBuilder::DbtBuilder() : data_(kDbtBlock, '\0') {
  data_[16] = '\x03';
}

uint32_t DbtBuilder::append(const std::string& text) {
  const auto block = static_cast<uint32_t>(data_.size() / kDbtBlock);
  data_ += text;
  data_ += "\x1A\x1A";
  data_.resize((data_.size() + kDbtBlock - 1) / kDbtBlock * kDbtBlock, '\0');
  return block;
}

const std::string& DbtBuilder::finish() {
  const auto next = static_cast<uint32_t>(data_.size() / kDbtBlock);
  base::bytes::storeLE(data_.data(), next);
  return data_;
}

}  // namespace data::dbf
