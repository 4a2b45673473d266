#pragma once
// A file opened for positioned raw byte access, closed when the object goes. Opening for
// writing falls back to read-only when the file system refuses write access, so a shapefile on
// a read-only medium can still be read. Failures throw ShapeError (0x80040215) with the source
// the caller names.

#include <cstdint>
#include <string>
#include <vector>

namespace shape {

class RawFile {
 public:
  RawFile() = default;
  ~RawFile();
  RawFile(RawFile&& other) noexcept;
  RawFile& operator=(RawFile&& other) noexcept;
  RawFile(const RawFile&) = delete;
  RawFile& operator=(const RawFile&) = delete;

  // create: make the file anew (truncating); otherwise it must exist.
  static RawFile open(const std::string& path, bool create, const std::string& source);

  bool isOpen() const { return fd_ >= 0; }
  bool writable() const { return writable_; }
  const std::string& path() const { return path_; }
  uint64_t size() const { return size_; }

  // Reads up to n bytes at offset; answers how many arrived (fewer only at the end of file).
  // Small reads are served from a window of the file read ahead in one system call: a map reads
  // thousands of index entries, record headers and records, mostly close together.
  uint64_t readAt(uint64_t offset, void* buffer, uint64_t n, const std::string& source) const;
  void writeAt(uint64_t offset, const void* data, uint64_t n, const std::string& source);

 private:
  void close() noexcept;
  uint64_t readDirect(uint64_t offset, char* out, uint64_t n, const std::string& source) const;

  int fd_ = -1;
  bool writable_ = false;
  uint64_t size_ = 0;
  std::string path_;
  mutable std::vector<char> window_;  // bytes of the file from windowStart_ on
  mutable uint64_t windowStart_ = 0;
};

}  // namespace shape
