#pragma once
// The findings as a file for spreadsheet programs: UTF-8 with a byte-order mark (so that they
// take it for UTF-8), fields separated by ";", lines ended by CR LF, the header
// Schwere;Prüfung;Tabelle;Datensatz;Schlüssel;Meldung, and fields quoted where they hold ";",
// '"' or a line break or begin like a formula.

#include <filesystem>
#include <string>
#include <vector>

#include "check/finding.h"

namespace check {

std::string findingsCsv(const std::vector<Finding>& findings);

// Writes the file whole or not at all (base::replaceFile); "" when written, else the German
// reason.
std::string writeFindingsCsv(const std::filesystem::path& file,
                             const std::vector<Finding>& findings);

}  // namespace check
