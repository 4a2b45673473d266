#include "print/pdf_join.h"

#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include "base/atomic_write.h"

namespace print {
namespace fs = std::filesystem;

namespace {

// qpdf repairs what it can of a damaged file and tells on stderr; a part it cannot read
// throws, and that is what the reason reports.
std::unique_ptr<QPDF> openPdf(const fs::path& file) {
  auto pdf = std::make_unique<QPDF>();
  pdf->setSuppressWarnings(true);
  pdf->processFile(file.c_str());
  return pdf;
}

// Removes the hidden temporary on every way out unless it was renamed into place.
struct Temporary {
  fs::path path;
  bool kept = false;
  ~Temporary() {
    std::error_code ec;
    if (!kept) fs::remove(path, ec);
  }
};

}  // namespace

bool joinPdfs(const std::vector<fs::path>& parts, const fs::path& target, std::string& reason) {
  if (parts.empty()) {
    reason = "Es gibt keine PDF-Datei, die zusammengefügt werden könnte.";
    return false;
  }
  QPDF joined;
  joined.emptyPDF();
  QPDFPageDocumentHelper pages(joined);
  // The pages copied from a part refer to its file until the joined one is written.
  std::vector<std::unique_ptr<QPDF>> sources;
  for (const fs::path& part : parts) {
    try {
      sources.push_back(openPdf(part));
      for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*sources.back()).getAllPages())
        pages.addPage(page, false);
    } catch (const std::exception& e) {
      reason = "Die PDF-Datei " + part.string() + " konnte nicht gelesen werden: " + e.what();
      return false;
    }
  }
  std::string hidden = ".";
  hidden += target.filename().string();
  hidden += ".part";
  Temporary temporary{target.parent_path() / hidden};
  try {
    QPDFWriter writer(joined, temporary.path.c_str());
    writer.setDeterministicID(true);
    writer.write();
  } catch (const std::exception& e) {
    reason = "Die PDF-Datei " + target.string() + " konnte nicht geschrieben werden: " + e.what();
    return false;
  }
  std::error_code ec;
  fs::rename(temporary.path, target, ec);
  if (ec) {
    reason = "Die PDF-Datei " + target.string() +
             " konnte nicht geschrieben werden: " + base::fileErrorText(ec.value());
    return false;
  }
  temporary.kept = true;
  return true;
}

int pdfPageCount(const fs::path& file, std::string& reason) {
  try {
    return static_cast<int>(QPDFPageDocumentHelper(*openPdf(file)).getAllPages().size());
  } catch (const std::exception& e) {
    reason = "Die PDF-Datei " + file.string() + " konnte nicht gelesen werden: " + e.what();
    return -1;
  }
}

}  // namespace print
