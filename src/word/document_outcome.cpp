#include "word/document_outcome.h"

#include <algorithm>

namespace word {
namespace {

// The lines a driver writes after a part failed repeat only that it failed.
bool isSummaryLine(const std::string& line) {
  return line.ends_with("konnte nicht erstellt werden.") ||
         line.ends_with("nicht korrekt gesetzt werden.");
}

// "Routine: Fehler! text" → "text": the message file speaks to the user, not the developer.
// "... Nicht abgefangener Fehler[ in Routine].text(number)" → "text(number)".
std::string withoutRoutine(std::string line) {
  const std::string uncaught = "Nicht abgefangener Fehler";
  if (const auto at = line.find(uncaught); at != std::string::npos) {
    const auto dot = line.find('.', at + uncaught.size());
    if (dot != std::string::npos && dot + 1 < line.size()) return line.substr(dot + 1);
  }
  const auto colon = line.find(": ");
  if (colon != std::string::npos && line.find(' ') > colon) line.erase(0, colon + 2);
  if (line.rfind("Fehler! ", 0) == 0) line.erase(0, 8);
  return line;
}

}  // namespace

std::string DocumentOutcome::cause() const {
  if (!unfilled.empty()) return unfilled.front();
  // A warning ("... gehört nicht zu einem FFH-Gebiet") is logged as an error line but costs the
  // document nothing; it is no cause.
  auto isWarning = [](const std::string& c) { return c.find("Warnung!") != std::string::npos; };
  const auto telling = std::find_if(causes.begin(), causes.end(), [&](const std::string& c) {
    return !isSummaryLine(c) && !isWarning(c);
  });
  if (telling != causes.end()) return withoutRoutine(*telling);
  const auto any = std::find_if_not(causes.begin(), causes.end(), isWarning);
  return any == causes.end() ? std::string() : withoutRoutine(*any);
}

namespace {

std::string causeText(const DocumentOutcome& outcome) {
  const std::string cause = outcome.cause();
  return cause.empty() ? "Einzelheiten im Fehlerprotokoll" : cause;
}

std::string shownFile(const DocumentOutcome& outcome) {
  return outcome.file.empty() ? outcome.name : outcome.file.string();
}

}  // namespace

std::string incompleteMessage(const DocumentOutcome& outcome) {
  std::string parts;
  for (const auto& p : outcome.missing) parts += (parts.empty() ? "" : ", ") + p;
  return "Das Dokument " + shownFile(outcome) + " ist unvollständig (" + parts +
         "): " + causeText(outcome);
}

std::string notMadeMessage(const DocumentOutcome& outcome) {
  return "Das Dokument " + shownFile(outcome) + " wurde nicht erstellt: " + causeText(outcome);
}

Made judgeDocument(const std::string& name, const DocumentOutcome& outcome, const Result& result,
                   std::size_t messagesBefore, std::vector<std::string>& messages) {
  if (result.written()) {
    if (result && outcome.missing.empty()) return Made::kComplete;
    DocumentOutcome shown = outcome;
    // A gateway that failed after saving left unfilled what it had not reached.
    if (shown.missing.empty()) shown.missing.push_back("Inhalt");
    messages.push_back(incompleteMessage(shown));
    return Made::kIncomplete;
  }
  // The outcome tells the file and the causes only when it is this document's.
  if (messages.size() == messagesBefore) {
    DocumentOutcome unknown;
    unknown.name = name;
    messages.push_back(notMadeMessage(outcome.name == name ? outcome : unknown));
  }
  return Made::kNotMade;
}

void tallyDocument(Made made, const DocumentOutcome& outcome, const std::string& failedKey,
                   std::size_t& madeCount, std::vector<DocumentOutcome>& incomplete,
                   std::vector<std::string>& failed) {
  switch (made) {
    case Made::kComplete:
      ++madeCount;
      break;
    case Made::kIncomplete:
      incomplete.push_back(outcome);
      break;
    case Made::kNotMade:
      failed.push_back(failedKey);
      break;
  }
}

bool isSafeDocumentName(const std::string& name, std::size_t digits) {
  if (name.size() <= digits) return false;
  if (!std::all_of(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(digits),
                   [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(digits), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
  });
}

}  // namespace word
