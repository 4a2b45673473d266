#include "base/system_error_text.h"

#include <cerrno>
#include <cstring>

namespace base {

std::string systemErrorText(int error) {
  switch (error) {
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

}  // namespace base
