#include "app/startup.h"

#include <cstdlib>
#include <string>

#include "app/program_objects.h"

namespace app {

bool startLogIfEnabled() {
  const std::string value = settings().get(kErrorReport);
  if (value.empty()) return false;
  char* end = nullptr;
  const double number = std::strtod(value.c_str(), &end);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (end == value.c_str() || (end && *end != '\0') || number != 0.0) return false;
  if (g_Debug().Init()) return true;
  if (const std::string& failure = g_Debug().initFailure(); !failure.empty())
    ui().message(MessageIcon::None, "Die Fehleranalyse konnte nicht gestartet werden: " + failure +
                                        ".\nEs wird ohne Fehlerprotokoll weitergearbeitet.");
  else
    ui().message(MessageIcon::None,
                 "Die Fehleranalyse konnte nicht gestartet werden. Bitte überprüfen Sie die "
                 "Einstellung der Pfade.");
  return false;
}

}  // namespace app
