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

TempFile::TempFile(std::filesystem::path target) : target_(std::move(target)), temp_(target_) {
  if (temp_.error())
    throw DbfError(target_.string() + ": die temporäre Datei kann nicht angelegt werden (" +
                   base::systemErrorText(temp_.error()) + ")");
}

TempFile::~TempFile() = default;

void TempFile::write(std::string_view data) {
  if (const int e = temp_.writeAll(data))
    throw DbfError(target_.string() + ": Schreiben fehlgeschlagen (" + base::systemErrorText(e) +
                   ")");
}

void TempFile::commit() {
  const int syncError = ::fsync(temp_.fd()) == 0 ? 0 : errno;
  const int closeError = temp_.close();
  if (syncError || closeError)
    throw DbfError(target_.string() + ": Schreiben fehlgeschlagen (" +
                   base::systemErrorText(syncError ? syncError : closeError) + ")");
  if (const int e = temp_.renameOntoTarget())
    throw DbfError(target_.string() + ": kann nicht ersetzt werden (" + base::systemErrorText(e) +
                   ")");
}

}  // namespace data::dbf
