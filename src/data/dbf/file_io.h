#pragma once
// File helpers of the dBASE module: reading a whole file with a size limit, and a temporary
// file that takes the place of its target only when committed.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/temporary_file.h"

namespace data::dbf {

// The whole content of path. Throws DbfError naming the file when it cannot be read or is
// larger than maxSize (checked before anything is allocated).
std::string readWholeFile(const std::filesystem::path& path, uint64_t maxSize);

// A uniquely named file beside target (base::TemporaryFile). Owns the file: the destructor
// removes it unless commit() has moved it onto target. Failures throw DbfError naming target.
class TempFile {
 public:
  explicit TempFile(std::filesystem::path target);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Writes data and flushes it to the disk.
  void write(std::string_view data);
  // Replaces target by the written file (an atomic rename on one file system).
  void commit();

 private:
  std::filesystem::path target_;
  base::TemporaryFile temp_;
};

}  // namespace data::dbf
