#pragma once
// Memo files beside a dBASE table: ".dbt" of dBASE III (512-byte blocks, text ended by 0x1A)
// and dBASE IV/7 (blocks with a length header), and ".fpt" of FoxPro (big-endian header).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace data::dbf {

enum class MemoKind { DbaseIII, DbaseIV, FoxPro };

// An opened memo file, read into memory once. Failures throw DbfError naming the memo file.
class MemoReader {
 public:
  MemoReader(std::filesystem::path path, MemoKind kind);

  const std::filesystem::path& path() const { return path_; }
  // The raw bytes of the memo starting at block. Throws DbfError when the block or the length it
  // declares lies past the end of the file.
  std::string read(uint64_t block) const;

 private:
  std::filesystem::path path_;
  MemoKind kind_;
  std::string data_;
  uint32_t blockSize_ = 512;
};

// The file beside table with the same base name and extension ext (such as ".cpg"), both
// compared without regard to case; nullopt when there is none.
std::optional<std::filesystem::path> findSibling(const std::filesystem::path& table,
                                                 const std::string& ext);

// The memo file that belongs to a table: same base name, extension ".dbt" or ".fpt" in any case
// (preferring the one the table's kind expects). nullopt when there is none.
std::optional<std::filesystem::path> findMemoFile(const std::filesystem::path& table,
                                                  bool preferFpt);

// Collects dBASE III memos for a table being written.
class DbtBuilder {
 public:
  DbtBuilder();
  // Appends text (which must not hold 0x1A) and answers its first block number.
  uint32_t append(const std::string& text);
  // The complete file, header with the next free block included.
  const std::string& finish();

 private:
  std::string data_;
};

}  // namespace data::dbf
