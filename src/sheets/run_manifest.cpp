#include "sheets/run_manifest.h"

#include "app/cls_debug.h"
#include "app/settings.h"
#include "print/document_output.h"

namespace sheets {
namespace fs = std::filesystem;

RunManifest::RunManifest(const word::RunContext& run, bool changedOnly)
    : run_(run),
      folder_(run.settings.get(app::kDataFilesPfad)),
      changedOnly_(changedOnly),
      pdfCopies_(static_cast<bool>(print::pdfCopies())),
      inputs_(run.settings, run.doc),
      list_(app::DocumentManifest::read(folder_)) {
  if (!changedOnly_) return;
  if (list_.state() == app::DocumentManifest::State::kMissing)
    notice_ =
        "Im Ausgabeordner liegt noch keine Liste der erstellten Dokumente: alle Dokumente werden "
        "erstellt.";
  else if (list_.state() == app::DocumentManifest::State::kDamaged)
    notice_ = "Die Liste der erstellten Dokumente im Ausgabeordner (" +
              std::string(app::kManifestFileName) +
              ") ist beschädigt: alle Dokumente werden neu erstellt.";
  if (!notice_.empty()) run.log.Ausgabe(1, "Nur geänderte Dokumente: " + notice_);
}

std::string RunManifest::relative(const fs::path& file) const {
  const fs::path rel = file.lexically_relative(folder_);
  if (rel.empty() || *rel.begin() == "..") return {};
  return rel.string();
}

bool RunManifest::unchanged(const fs::path& file, const std::optional<base::Digest>& inputs) {
  if (!changedOnly_ || !inputs) return false;
  const std::string name = relative(file);
  const auto stamp = app::stampOf(file);
  if (name.empty() || !stamp) return false;
  {
    std::lock_guard lock(mutex_);
    const app::DocumentManifest::Entry* entry = list_.find(name);
    if (!entry || entry->inputs != *inputs || entry->file != *stamp) return false;
  }
  if (!pdfCopies_ || file.extension() != ".docx") return true;
  // A PDF copy follows its document: with none, or one older than it, both are made again.
  const auto pdf = app::stampOf(fs::path(file).replace_extension(".pdf"));
  return pdf && pdf->size > 0 &&
         std::pair(pdf->seconds, pdf->nanoseconds) >= std::pair(stamp->seconds, stamp->nanoseconds);
}

void RunManifest::tried(const fs::path& file, const std::optional<base::Digest>& inputs,
                        bool whole) {
  const std::string name = relative(file);
  if (name.empty()) return;
  const auto stamp = whole && inputs ? app::stampOf(file) : std::nullopt;
  std::lock_guard lock(mutex_);
  const app::DocumentManifest::Entry* known = list_.find(name);
  if (stamp) {
    const app::DocumentManifest::Entry entry{*inputs, *stamp};
    if (known && *known == entry) return;
    list_.set(name, entry);
  } else {
    if (!known) return;
    list_.erase(name);
  }
  changed_ = true;
}

std::string RunManifest::save() {
  std::lock_guard lock(mutex_);
  // A list that stayed as it was read (or a run that tried nothing) leaves the file alone.
  if (folder_.empty() || (!changed_ && list_.state() != app::DocumentManifest::State::kDamaged))
    return {};
  const std::string problem = list_.write(folder_);
  if (!problem.empty())
    run_.log.Ausgabe(2,
                     "Fehler! Die Liste der erstellten Dokumente konnte nicht geschrieben "
                     "werden: " +
                         problem);
  return problem;
}

}  // namespace sheets
