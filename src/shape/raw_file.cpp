#include "shape/raw_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "base/system_error_text.h"
#include "shape/shape_error.h"

namespace shape {
namespace {

// Bytes read ahead for small reads; larger reads go to the file directly.
constexpr uint64_t kWindowBytes = 64 * 1024;

[[noreturn]] void fail(const std::string& source, const std::string& what, const std::string& path,
                       int err) {
  throw ShapeError(kErrFileAccess, source, what + " " + path + ": " + base::systemErrorText(err));
}

}  // namespace

RawFile::~RawFile() {
  close();
}

RawFile::RawFile(RawFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      writable_(other.writable_),
      size_(other.size_),
      path_(std::move(other.path_)),
      window_(std::move(other.window_)),
      windowStart_(other.windowStart_) {}

RawFile& RawFile::operator=(RawFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    writable_ = other.writable_;
    size_ = other.size_;
    path_ = std::move(other.path_);
    window_ = std::move(other.window_);
    windowStart_ = other.windowStart_;
  }
  return *this;
}

void RawFile::close() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

RawFile RawFile::open(const std::string& path, bool create, const std::string& source) {
  RawFile f;
  f.path_ = path;
  int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT | O_TRUNC : 0);
  f.fd_ = ::open(path.c_str(), flags, 0666);
  f.writable_ = f.fd_ >= 0;
  if (f.fd_ < 0 && !create && (errno == EACCES || errno == EROFS || errno == EPERM))
    f.fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (f.fd_ < 0) fail(source, "Die Datei kann nicht geöffnet werden:", path, errno);
  struct stat st {};
  if (::fstat(f.fd_, &st) != 0) fail(source, "Die Datei kann nicht abgefragt werden:", path, errno);
  if (!S_ISREG(st.st_mode)) fail(source, "Keine gewöhnliche Datei:", path, EINVAL);
  f.size_ = static_cast<uint64_t>(st.st_size);
  return f;
}

uint64_t RawFile::readAt(uint64_t offset, void* buffer, uint64_t n,
                         const std::string& source) const {
  auto* out = static_cast<char*>(buffer);
  if (n > kWindowBytes / 2) return readDirect(offset, out, n, source);
  const bool inside = offset >= windowStart_ && offset + n <= windowStart_ + window_.size();
  if (!inside) {
    window_.resize(kWindowBytes);
    windowStart_ = offset;
    try {
      window_.resize(readDirect(offset, window_.data(), kWindowBytes, source));
    } catch (...) {
      window_.clear();
      throw;
    }
  }
  const uint64_t from = offset - windowStart_;
  const uint64_t got = std::min<uint64_t>(n, window_.size() - from);
  std::memcpy(out, window_.data() + from, got);
  return got;
}

uint64_t RawFile::readDirect(uint64_t offset, char* out, uint64_t n,
                             const std::string& source) const {
  uint64_t done = 0;
  while (done < n) {
    ssize_t got = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      fail(source, "Die Datei kann nicht gelesen werden:", path_, errno);
    }
    if (got == 0) break;
    done += static_cast<uint64_t>(got);
  }
  return done;
}

void RawFile::writeAt(uint64_t offset, const void* data, uint64_t n, const std::string& source) {
  if (!writable_) fail(source, "Die Datei kann nicht geschrieben werden:", path_, EBADF);
  window_.clear();  // the next read sees what was written
  uint64_t done = 0;
  const auto* in = static_cast<const char*>(data);
  while (done < n) {
    ssize_t put = ::pwrite(fd_, in + done, n - done, static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      fail(source, "Die Datei kann nicht geschrieben werden:", path_, errno);
    }
    done += static_cast<uint64_t>(put);
  }
  if (offset + n > size_) size_ = offset + n;
}

}  // namespace shape
