#pragma once
// One PDF per polygon ("PDF-Mappe"): every document the polygon has is rendered to PDF by the
// LibreOffice of the worker that made it and the PDFs are joined in the order given, each
// document starting on a new page. A document that cannot be rendered is left out and named;
// nothing is logged here. Several workers may write their polygons' dossiers at once.

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "print/converter_pool.h"

namespace print {

struct DossierOutcome {
  bool written = false;
  std::string reason;  // why no dossier was written
  // The documents left out (name without extension) and why.
  std::vector<std::pair<std::string, std::string>> leftOut;
};

class DossierWriter {
 public:
  // converters: the run's LibreOffices; they must outlive the writer. copiesBeside: the run
  // writes a PDF beside every document, and a copy newer than its document is taken as it is.
  DossierWriter(ConverterPool& converters, bool copiesBeside);
  // Removes the work folder with the rendered PDFs.
  ~DossierWriter();
  DossierWriter(const DossierWriter&) = delete;
  DossierWriter& operator=(const DossierWriter&) = delete;

  // Writes target from the documents that can be rendered; an earlier target stays when none
  // can. The work folder's PDFs are removed again before it returns.
  DossierOutcome write(const std::vector<std::filesystem::path>& documents,
                       const std::filesystem::path& target);
  // Dossiers written so far.
  int written() const { return written_; }

 private:
  // The document's PDF: the run's copy beside it when there is a fresh one, else rendered
  // into folder. False with a German reason.
  bool renderPdf(const std::filesystem::path& document, const std::filesystem::path& folder,
                 std::filesystem::path& pdf, std::string& reason);

  ConverterPool& converters_;
  bool copiesBeside_;
  std::mutex workMutex_;
  std::filesystem::path work_;
  std::atomic<unsigned> jobs_{0};
  std::atomic<int> written_{0};
};

}  // namespace print
