#include "base/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/system_error_text.h"

namespace base {
namespace {

// The temporary file of a save: removed again unless it was renamed onto the target.
class TempFile {
 public:
  explicit TempFile(std::string pattern) : path_(std::move(pattern)) {
    fd_ = mkstemp(path_.data());
    error_ = fd_ < 0 ? errno : 0;
  }
  ~TempFile() {
    if (fd_ >= 0) close(fd_);
    if (!committed_ && error_ == 0) unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  int error() const { return error_; }
  const std::string& path() const { return path_; }
  int closeFile() {
    const int rc = close(fd_);
    fd_ = -1;
    return rc;
  }
  void commit() { committed_ = true; }

 private:
  std::string path_;
  int fd_ = -1;
  int error_ = 0;
  bool committed_ = false;
};

}  // namespace

WriteFailure replaceFile(const std::filesystem::path& target, std::string_view bytes, mode_t mode,
                         Durability durability) {
  const std::filesystem::path folder =
      target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  // Built piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "." + std::string&&.
  std::string tempName(".");
  tempName += target.filename().string();
  tempName += ".XXXXXX";
  TempFile temp((folder / tempName).string());
  if (temp.fd() < 0) return {temp.error(), "temporäre Datei"};
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(temp.fd(), bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return {errno, "Schreiben"};
    }
    done += static_cast<std::size_t>(n);
  }
  if (fchmod(temp.fd(), mode) != 0) return {errno, "Zugriffsrechte"};
  if (durability == Durability::kFlushThenRename && fsync(temp.fd()) != 0)
    return {errno, "Sichern auf den Datenträger"};
  if (temp.closeFile() != 0) return {errno, "Schließen"};
  if (std::rename(temp.path().c_str(), target.c_str()) != 0) return {errno, "Umbenennen"};
  temp.commit();
  return {};
}

std::string fileErrorText(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "keine Schreibberechtigung";
    case ENOENT:
    case ENOTDIR:
      return "der Ordner existiert nicht";
    default:
      return systemErrorText(error);
  }
}

}  // namespace base
