#include "check/findings_csv.h"

#include "base/atomic_write.h"

namespace check {
namespace {

std::string field(const std::string& text) {
  const bool formula = !text.empty() && std::string("=+-@").find(text[0]) != std::string::npos;
  if (!formula && text.find_first_of(";\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string findingsCsv(const std::vector<Finding>& findings) {
  std::string csv = "\xEF\xBB\xBFSchwere;Prüfung;Tabelle;Datensatz;Schlüssel;Meldung\r\n";
  for (const Finding& f : findings)
    csv += std::string(severityText(f.severity)) + ";" + field(checkName(f.check)) + ";" +
           field(f.table) + ";" + (f.record ? std::to_string(f.record) : "") + ";" + field(f.key) +
           ";" + field(f.message) + "\r\n";
  return csv;
}

std::string writeFindingsCsv(const std::filesystem::path& file,
                             const std::vector<Finding>& findings) {
  const base::WriteFailure failure = base::replaceFile(file, findingsCsv(findings), 0644);
  if (!failure) return {};
  return std::string("Die Datei ") + file.string() + " kann nicht geschrieben werden (" +
         failure.step + "): " + base::fileErrorText(failure.error) + ".";
}

}  // namespace check
