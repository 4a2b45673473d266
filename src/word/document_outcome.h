#pragma once
// What became of one document: written or not, which of its parts could not be filled and the
// error texts that say why. A run counts a document as made only when it is complete.

#include <filesystem>
#include <string>
#include <vector>

#include "word/result.h"

namespace word {

struct DocumentOutcome {
  std::string name;                  // the document's name without ".docx"
  std::filesystem::path file;        // where it is (or would have been) written
  bool saved = false;                // written in this run
  std::vector<std::string> missing;  // parts left unfilled: "Kopfbereich", "Karte" ...
  std::vector<std::string> causes;   // the error texts logged while the document was in work
  // What the document needed and did not get: a bookmark its template must carry, a value the
  // tables could not give, an engine failure while filling. Each is a German cause.
  std::vector<std::string> unfilled;

  bool complete() const { return saved && missing.empty(); }
  // The most telling cause: the first of unfilled, else the first error text that is neither a
  // warning nor one of the drivers' summary lines ("... konnte nicht erstellt werden."), else
  // the first error text that is no warning; "" when there is none.
  std::string cause() const;
};

// The message-file lines of a run: "Das Dokument F ist unvollständig (Fußbereich): cause" and
// "Das Dokument F wurde nicht erstellt: cause", with "Einzelheiten im Fehlerprotokoll" when no
// cause was logged.
std::string incompleteMessage(const DocumentOutcome& outcome);
std::string notMadeMessage(const DocumentOutcome& outcome);

enum class Made { kComplete, kIncomplete, kNotMade };

// How the document `name` just tried turned out, given its gateway's answer and the engine's
// outcome (which may still be an earlier document's when this one never got opened). Adds the
// message of an incomplete document, and of one not made unless the run's messages grew since
// messagesBefore (the engine said why already).
Made judgeDocument(const std::string& name, const DocumentOutcome& outcome, const Result& result,
                   std::size_t messagesBefore, std::vector<std::string>& messages);

// Counts a judged document into a run's tallies: made, incomplete (with its outcome) or not made
// (under failedKey).
void tallyDocument(Made made, const DocumentOutcome& outcome, const std::string& failedKey,
                   std::size_t& madeCount, std::vector<DocumentOutcome>& incomplete,
                   std::vector<std::string>& failed);

// A document name is a code of `digits` ASCII digits followed by a template key; anything else
// (a path, "..", a separator) could lead the file out of the output folder.
bool isSafeDocumentName(const std::string& name, std::size_t digits);

}  // namespace word
