#include "base/system_error_text.h"

#include <cerrno>
#include <cstring>

#include "base/regular_file.h"

namespace base {

std::string systemErrorText(int error) {
  switch (error) {
    case kNotRegularFile:
      return "ist keine gewöhnliche Datei (etwa eine Verknüpfung oder eine Pipe)";
    case ENOENT:
      return "nicht vorhanden";
    case ENOTDIR:
      return "ein Teil des Pfades ist kein Ordner";
    case EISDIR:
      return "ist ein Ordner";
    case EACCES:
    case EPERM:
      return "keine Berechtigung";
    case EROFS:
      return "der Datenträger ist schreibgeschützt";
    case ENOSPC:
    case EDQUOT:
      return "der Datenträger ist voll";
    case EIO:
      return "Lesefehler oder Schreibfehler des Datenträgers";
    case ENAMETOOLONG:
      return "der Name ist zu lang";
    case EMFILE:
    case ENFILE:
      return "zu viele offene Dateien";
    case ENOMEM:
      return "zu wenig Arbeitsspeicher";
    default:
      return "Systemfehler " + std::to_string(error) + " (" + std::strerror(error) + ")";
  }
}

std::string systemErrorText(const std::filesystem::filesystem_error& error) {
  const std::string reason = systemErrorText(error.code().value());
  return error.path1().empty() ? reason : error.path1().string() + ": " + reason;
}

}  // namespace base
