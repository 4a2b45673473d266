#include "cli/run_outcome.h"

#include <filesystem>

#include "base/visible_text.h"

namespace cli {

void printRunOutcome(std::ostream& err, const std::vector<word::DocumentOutcome>& incomplete,
                     const std::vector<std::string>& messages,
                     const std::vector<std::string>& notes,
                     const app::MessageFileOutcome& messageFile) {
  for (const auto& doc : incomplete) {
    std::string parts;
    for (const auto& p : doc.missing) parts += (parts.empty() ? "" : ", ") + p;
    err << "Unvollständig: " << base::visibleText(doc.name) << " (" << parts << ")\n";
  }
  if (messages.empty() && notes.empty()) return;
  if (!messageFile.file.empty()) {
    std::string counts;
    if (!messages.empty()) counts = std::to_string(messages.size()) + " Meldung(en)";
    if (!notes.empty())
      counts += (counts.empty() ? "" : " und ") + std::to_string(notes.size()) + " Hinweis(e)";
    err << counts << " in " << messageFile.file.string() << ".\n";
    return;
  }
  // The warning has said why the file could not be written; the messages would be lost
  // otherwise, and an old file must not pass for this run's.
  err << "Meldungen dieses Laufs (nicht in " << app::kMessageFileName << "):\n";
  for (const auto& m : messages) err << "  " << base::visibleText(m) << "\n";
  for (const auto& n : notes) err << "  " << app::kNotePrefix << base::visibleText(n) << "\n";
}

}  // namespace cli
