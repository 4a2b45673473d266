#include "cli/run_outcome.h"

#include <filesystem>

#include "base/visible_text.h"

namespace cli {

void printRunOutcome(std::ostream& err, const std::vector<word::DocumentOutcome>& incomplete,
                     const std::vector<std::string>& messages,
                     const app::MessageFileOutcome& messageFile) {
  for (const auto& doc : incomplete) {
    std::string parts;
    for (const auto& p : doc.missing) parts += (parts.empty() ? "" : ", ") + p;
    err << "Unvollständig: " << base::visibleText(doc.name) << " (" << parts << ")\n";
  }
  if (messages.empty()) return;
  if (!messageFile.file.empty()) {
    err << messages.size() << " Meldung(en) in " << messageFile.file.string() << ".\n";
    return;
  }
  // The warning has said why the file could not be written; the messages would be lost
  // otherwise, and an old file must not pass for this run's.
  err << "Meldungen dieses Laufs (nicht in " << app::kMessageFileName << "):\n";
  for (const auto& m : messages) err << "  " << base::visibleText(m) << "\n";
}

}  // namespace cli
