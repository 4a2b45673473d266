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
  std::shared_ptr<Buffer> bytes;
  try {
    QPDFWriter writer(joined);
    writer.setOutputMemory();
    writer.setDeterministicID(true);
    writer.write();
    bytes = writer.getBufferSharedPointer();
  } catch (const std::exception& e) {
    reason = "Die PDF-Datei " + target.string() + " konnte nicht geschrieben werden: " + e.what();
    return false;
  }
  const std::string_view content(reinterpret_cast<const char*>(bytes->getBuffer()),
                                 bytes->getSize());
  if (const base::WriteFailure failed = base::replaceFile(target, content, 0644)) {
    reason = "Die PDF-Datei " + target.string() + " konnte nicht geschrieben werden (" +
             failed.step + "): " + base::fileErrorText(failed.error);
    return false;
  }
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
