#include "print/dossier_writer.h"

#include "base/temporary_file.h"
#include "print/pdf_join.h"

namespace print {
namespace fs = std::filesystem;

DossierWriter::DossierWriter(ConverterPool& converters, bool copiesBeside)
    : converters_(converters), copiesBeside_(copiesBeside) {}

DossierWriter::~DossierWriter() {
  std::error_code ec;
  if (!work_.empty()) fs::remove_all(work_, ec);
}

bool DossierWriter::renderPdf(const fs::path& document, const fs::path& folder, fs::path& pdf,
                              std::string& reason) {
  if (copiesBeside_) {
    // A copy older than its document is one an earlier run left when this run's copy failed.
    std::error_code ec;
    // Only a regular file: a link or a pipe planted at the copy's name is not read.
    const fs::path copy = fs::path(document).replace_extension(".pdf");
    const auto copyTime = fs::last_write_time(copy, ec);
    if (!ec && fs::is_regular_file(fs::symlink_status(copy, ec)) &&
        copyTime >= fs::last_write_time(document, ec) && !ec) {
      pdf = copy;
      return true;
    }
  }
  return converters_.forThisThread()->toPdf(document, folder, pdf, reason);
}

DossierOutcome DossierWriter::write(const std::vector<fs::path>& documents,
                                    const fs::path& target) {
  DossierOutcome outcome;
  if (documents.empty()) {
    outcome.reason = "Von dem Polygon wurde kein Dokument geschrieben.";
    return outcome;
  }
  fs::path folder;
  {
    std::lock_guard lock(workMutex_);
    if (!base::makeWorkFolder("dossier", work_)) {
      outcome.reason = "Der Arbeitsordner für die PDF-Mappe konnte nicht angelegt werden.";
      return outcome;
    }
    // Each dossier gets a folder of its own: two documents of one polygon never share a name,
    // but a PDF left from the polygon before must not slip into this one.
    folder = work_ / std::to_string(++jobs_);
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  std::vector<fs::path> pdfs;
  for (const fs::path& document : documents) {
    fs::path pdf;
    std::string reason;
    if (renderPdf(document, folder, pdf, reason))
      pdfs.push_back(pdf);
    else
      outcome.leftOut.emplace_back(document.stem().string(), reason);
  }
  if (pdfs.empty()) {
    outcome.reason = outcome.leftOut.front().second;
  } else if (joinPdfs(pdfs, target, outcome.reason)) {
    outcome.written = true;
    ++written_;
  }
  fs::remove_all(folder, ec);
  return outcome;
}

}  // namespace print
