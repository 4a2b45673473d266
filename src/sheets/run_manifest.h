#pragma once
// A generation run's side of making only what changed: the output folder's list of documents
// (app::DocumentManifest), read when the run starts under the folder's lock and written back
// when it ends, with the digest of each document's inputs (DocumentInputs). A document is left
// as it is when the run makes only what changed, its entry holds the digest of its inputs as
// they are now, and its file is as a run left it (with PDF copies: its PDF is there and not
// older than it). Every run keeps the list, whether it makes only what changed or everything.
// Shared by a run's workers.

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "app/document_manifest.h"
#include "sheets/document_inputs.h"
#include "word/run_context.h"

namespace sheets {

class RunManifest {
 public:
  // run: the context of the calling thread (its settings name the output folder, its engine
  // the templates); it must outlive the object.
  RunManifest(const word::RunContext& run, bool changedOnly);

  bool changedOnly() const { return changedOnly_; }
  // When the run makes only what changed but the list was missing or damaged, what it does
  // instead, to be said once ("... alle Dokumente werden erstellt."); else "".
  const std::string& notice() const { return notice_; }
  DocumentInputs& inputs() { return inputs_; }

  // Whether the document at file may stay as it is (never when the run makes everything or the
  // inputs could not be read).
  bool unchanged(const std::filesystem::path& file, const std::optional<base::Digest>& inputs);
  // After the document at file was tried: kept with its inputs when it was written whole and
  // gave nothing for the message file, else forgotten, so that the next run makes it again.
  void tried(const std::filesystem::path& file, const std::optional<base::Digest>& inputs,
             bool whole);
  // Writes the list back into the output folder when it changed or was damaged; "" or why not
  // (German, also logged).
  std::string save();

 private:
  std::string relative(const std::filesystem::path& file) const;

  const word::RunContext& run_;
  std::filesystem::path folder_;
  bool changedOnly_;
  bool pdfCopies_;
  std::string notice_;
  DocumentInputs inputs_;
  std::mutex mutex_;
  app::DocumentManifest list_;
  bool changed_ = false;  // since it was read
};

}  // namespace sheets
