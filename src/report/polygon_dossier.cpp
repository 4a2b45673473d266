#include "report/polygon_dossier.h"

namespace report {
namespace fs = std::filesystem;

void PolygonDocuments::add(word::Made made, const std::string& name, const fs::path& file) {
  if (made == word::Made::kNotMade) {
    notWritten.push_back(name);
    return;
  }
  written.push_back(file);
  if (made == word::Made::kIncomplete) incomplete.push_back(name);
}

fs::path dossierPath(const std::string& outputFolder, const std::string& polygonCode) {
  return fs::path(outputFolder) / "Report" / (polygonCode + "Dossier.pdf");
}

bool writeDossier(const DossierHook& hook, const PolygonDocuments& documents,
                  const fs::path& target, std::string& line) {
  const print::DossierOutcome outcome = hook(documents.written, target);
  line.clear();
  if (!outcome.written) {
    line = "Die PDF-Mappe " + target.string() + " wurde nicht erstellt: " + outcome.reason;
    return false;
  }
  std::vector<std::string> gaps;
  for (const auto& name : documents.notWritten) gaps.push_back(name + " fehlt (nicht erstellt)");
  for (const auto& [name, reason] : outcome.leftOut)
    gaps.push_back(name + " fehlt (" + reason + ")");
  for (const auto& name : documents.incomplete) gaps.push_back(name + " ist unvollständig");
  if (gaps.empty()) return true;
  line = "Die PDF-Mappe " + target.string() + " ist unvollständig: ";
  for (std::size_t i = 0; i < gaps.size(); ++i) {
    if (i > 0) line += "; ";
    line += gaps[i];
  }
  line += ".";
  return true;
}

}  // namespace report
