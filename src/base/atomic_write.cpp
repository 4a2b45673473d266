#include "base/atomic_write.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/regular_file.h"
#include "base/system_error_text.h"
#include "base/temporary_file.h"

namespace base {

WriteFailure replaceFile(const std::filesystem::path& target, std::string_view bytes,
                         std::optional<mode_t> mode, Durability durability) {
  if (const int kind = regularOrAbsent(target)) return {kind, "Prüfung"};
  TemporaryFile temp(target);
  if (temp.error()) return {temp.error(), "temporäre Datei"};
  if (const int e = temp.writeAll(bytes)) return {e, "Schreiben"};
  if (mode && fchmod(temp.fd(), *mode) != 0) return {errno, "Zugriffsrechte"};
  if (durability == Durability::kFlushThenRename && fsync(temp.fd()) != 0)
    return {errno, "Sichern auf den Datenträger"};
  if (const int e = temp.close()) return {e, "Schließen"};
  if (const int e = temp.renameOntoTarget()) return {e, "Umbenennen"};
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
