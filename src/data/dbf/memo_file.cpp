#include "data/dbf/memo_file.h"

#include <algorithm>
#include <cctype>

#include "data/dbf/dbf_file.h"
#include "data/dbf/file_io.h"

namespace data::dbf {
namespace {

constexpr uint64_t kMaxMemoFile = uint64_t{1} << 32;
constexpr uint32_t kDbtBlock = 512;

uint32_t le32(const std::string& d, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(d[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(d[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(d[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(d[at + 3])) << 24;
}

uint32_t be32(const std::string& d, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(d[at])) << 24 |
         static_cast<uint32_t>(static_cast<unsigned char>(d[at + 1])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(d[at + 2])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(d[at + 3]));
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

MemoReader::MemoReader(std::filesystem::path path, MemoKind kind)
    : path_(std::move(path)), kind_(kind), data_(readWholeFile(path_, kMaxMemoFile)) {
  const std::string name = path_.string();
  if (kind_ == MemoKind::FoxPro) {
    if (data_.size() < 512) throw DbfError(name + ": der Kopf der Memodatei ist unvollständig");
    blockSize_ = static_cast<uint32_t>(static_cast<unsigned char>(data_[6])) << 8 |
                 static_cast<unsigned char>(data_[7]);
    if (blockSize_ == 0) throw DbfError(name + ": die Memodatei gibt die Blockgröße 0 an");
  } else if (kind_ == MemoKind::DbaseIV) {
    if (data_.size() < 22) throw DbfError(name + ": der Kopf der Memodatei ist unvollständig");
    const uint32_t declared = static_cast<uint32_t>(static_cast<unsigned char>(data_[21])) << 8 |
                              static_cast<unsigned char>(data_[20]);
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
  const std::filesystem::path dir =
      table.has_parent_path() ? table.parent_path() : std::filesystem::path(".");
  const std::string stem = lower(table.stem().string());
  const std::string wanted = lower(ext);
  // The exact spelling first: cheap, and the one to take when several spellings exist.
  std::filesystem::path exact = table;
  exact.replace_extension(ext);
  std::error_code ec;
  if (std::filesystem::is_regular_file(exact, ec)) return exact;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    const auto& p = entry.path();
    if (lower(p.stem().string()) == stem && lower(p.extension().string()) == wanted) return p;
  }
  return std::nullopt;
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
  for (int i = 0; i < 4; ++i) data_[i] = static_cast<char>((next >> (8 * i)) & 0xFF);
  return data_;
}

}  // namespace data::dbf
