#pragma once
// A polygon's PDF-Mappe in a report run: which of its documents were written, in run order, and
// the message-file line that says what the dossier lacks.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "print/dossier_writer.h"
#include "word/document_outcome.h"

namespace report {

// Writes one dossier from the documents given, in order, to the target file.
using DossierHook = std::function<print::DossierOutcome(
    const std::vector<std::filesystem::path>& documents, const std::filesystem::path& target)>;

// The documents of one polygon as the run judged them.
struct PolygonDocuments {
  std::vector<std::filesystem::path> written;  // cover sheet first, then the reports
  std::vector<std::string> notWritten;         // document names
  std::vector<std::string> incomplete;         // written, but lacking a part

  void add(word::Made made, const std::string& name, const std::filesystem::path& file);
};

// "Report/<polygon code>Dossier.pdf" in the run's output folder.
std::filesystem::path dossierPath(const std::string& outputFolder, const std::string& polygonCode);

// Writes the dossier through hook. Answers whether it was written, and in line the message-file
// line when it was not or lacks documents ("" when it holds all of them whole).
bool writeDossier(const DossierHook& hook, const PolygonDocuments& documents,
                  const std::filesystem::path& target, std::string& line);

}  // namespace report
