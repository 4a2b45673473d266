#include "zip_package.h"

#include <memory>

#include "base/atomic_write.h"
#include "form_error.h"
#include "word/docx/docx_error.h"
#include "word/docx/zip_archive.h"

namespace forms {

void writeZipPackage(const std::filesystem::path& target, const PackageParts& parts) {
  // The engine's zip writer, so that templates and documents are packed alike; entries carry
  // the fixed time of the templates, so a build gives the same bytes every time.
  std::vector<docx::ZipEntry> entries;
  entries.reserve(parts.size());
  for (const auto& [name, bytes] : parts)
    entries.push_back({name, std::make_shared<const std::string>(bytes)});
  std::string archive;
  try {
    archive = docx::writeZip(entries, docx::Packing::kSmallest);
  } catch (const docx::DocxError& e) {
    throw FormError(target.string() + ": cannot be packed: " + e.what());
  }
  if (const base::WriteFailure failure = base::replaceFile(target, archive, std::nullopt))
    throw FormError(target.string() + ": cannot be written (" + failure.step +
                    "): " + base::fileErrorText(failure.error));
}

}  // namespace forms
