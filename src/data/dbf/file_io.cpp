#include "data/dbf/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "base/system_error_text.h"
#include "data/dbf/dbf_file.h"

namespace data::dbf {

std::string readWholeFile(const std::filesystem::path& path, uint64_t maxSize) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec)
    throw DbfError(path.string() + ": kann nicht gelesen werden (" +
                   base::systemErrorText(ec.value()) + ")");
  if (size > maxSize)
    throw DbfError(path.string() + ": " + std::to_string(size) +
                   " Bytes sind zu groß für eine dBASE-Datei");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DbfError(path.string() + ": kann nicht geöffnet werden");
  std::string data(static_cast<size_t>(size), '\0');
  in.read(data.data(), static_cast<std::streamsize>(size));
  if (static_cast<uint64_t>(in.gcount()) != size)
    throw DbfError(path.string() + ": konnte nicht vollständig gelesen werden");
  return data;
}

TempFile::TempFile(std::filesystem::path target) : target_(std::move(target)) {
  std::string pattern = target_.string() + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0)
    throw DbfError(target_.string() + ": die temporäre Datei kann nicht angelegt werden (" +
                   base::systemErrorText(errno) + ")");
  temp_ = name.data();
  // mkstemp creates the file private to the user; give it the permissions a new file gets.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd_, 0666 & ~mask);
}

TempFile::~TempFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty()) {
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
  }
}

void TempFile::write(std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd_, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw DbfError(target_.string() + ": Schreiben fehlgeschlagen (" +
                     base::systemErrorText(errno) + ")");
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
}

void TempFile::commit() {
  const bool synced = ::fsync(fd_) == 0;
  const int syncError = errno;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!synced || !closed)
    throw DbfError(target_.string() + ": Schreiben fehlgeschlagen (" +
                   base::systemErrorText(synced ? errno : syncError) + ")");
  std::error_code ec;
  std::filesystem::rename(temp_, target_, ec);
  if (ec)
    throw DbfError(target_.string() + ": kann nicht ersetzt werden (" +
                   base::systemErrorText(ec.value()) + ")");
  temp_.clear();
}

}  // namespace data::dbf
