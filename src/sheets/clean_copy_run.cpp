#include "sheets/clean_copy_run.h"

#include <iterator>
#include <set>

#include "app/message_file.h"
#include "app/output_folder_lock.h"
#include "app/run_services.h"
#include "app/stale_temp_files.h"
#include "data/ffh_lookups.h"
#include "sheets/ffh_polygon_col.h"
#include "sheets/mod_ffh_bogen.h"
#include "sheets/run_workers.h"
#include "word/cls_word_doc.h"
#include "word/run_templates.h"

namespace sheets {

Selection selectSheets(data::clsDBFData& db, const Restrictions& r) {
  Selection s;
  s.status = FfhGetPolygonCol(db, r.biotopeTypes, r.allBiotopeTypes ? 1 : 0, r.habitatTypes,
                              r.allHabitatTypes ? 1 : 0, r.sheetTypes, r.sheetCodes,
                              r.allAreas ? 1 : 0, r.skipCopies ? 1 : 0, s.keys);
  return s;
}

std::string selectionHeadline(const Selection& selection) {
  return "Es wurden " + std::to_string(selection.keys.size()) + " Geländebögen ausgewählt.";
}

std::string selectionEntry(const std::string& key) {
  return key.substr(0, 12) + "_" + (key.size() > 12 ? key.substr(12) : "");
}

namespace {

std::string trim(const std::string& s) {
  const auto b = s.find_first_not_of(' ');
  return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// Makes one sheet (with its cover sheet when asked) into part; false when the run was
// cancelled before it.
bool makeSheet(const word::RunContext& run, RunWorkers& workers, word::RunTemplates& templates,
               const std::string& key, std::size_t position, std::size_t count, bool skipCopies,
               bool withCoverSheet, const std::atomic<bool>& cancel, const RunCallbacks& callbacks,
               RunSummary& part) {
  const std::string polygon = key.substr(0, 11);
  const std::string type = trim(key.size() > 12 ? key.substr(12, 2) : "");
  std::string polygonTypes;
  switch (startTurn(run, workers, polygon, polygonTypes, cancel, callbacks.progress, position,
                    count, key)) {
    case Turn::kUntyped:
      ++part.skippedUntyped;
      return true;
    case Turn::kCancelled:
      part.cancelled = true;
      return false;
    case Turn::kGo:
      break;
  }
  const word::clsWordDoc& engine = run.doc;
  const std::string cover = polygon + "Deckblatt";
  if (withCoverSheet && callbacks.coverSheet) {
    if (const std::string problem = templates.problem("Deckblatt"); !problem.empty()) {
      part.failed.push_back(cover);
      part.messages.push_back(word::refusedMessage(cover, problem));
    } else {
      const std::size_t before = part.messages.size();
      const word::Result made =
          callbacks.coverSheet(polygon, polygonTypes, run, part.messages, type);
      if (made.legacy() == 101)
        run.log.Ausgabe(
            2, "Fehler! Das Deckblatt für Bogen " + key + " konnte nicht erstellt werden.");
      std::size_t covers = 0;  // not part of the sheets' count
      word::tallyDocument(
          word::judgeDocument(cover, engine.lastOutcome(), made, before, part.messages),
          engine.lastOutcome(), cover, covers, part.incomplete, part.failed);
    }
  }
  if (skipCopies && data::FfhBogenIsCopy(key, run.db)) {
    ++part.skippedCopies;
    return true;
  }
  if (const std::string problem = templates.problem(type); !problem.empty()) {
    part.failed.push_back(key);
    part.messages.push_back(word::refusedMessage(key, problem));
    return true;
  }
  const std::size_t before = part.messages.size();
  const word::Result made = generateCleanCopy(key, run, part.messages);
  if (made.legacy() == 101) {
    run.log.Ausgabe(
        2, "cmdGenerate_Click: Fehler! Der Geländebogen " + key + " konnte nicht erstellt werden.");
    run.ui.message(app::MessageIcon::Error,
                   "Der Report für den Geländebogen " + key + " konnte nicht erstellt werden.");
  }
  word::tallyDocument(word::judgeDocument(key, engine.lastOutcome(), made, before, part.messages),
                      engine.lastOutcome(), key, part.produced, part.incomplete, part.failed);
  return true;
}

// The sheets of one polygon, next to each other in the key order: one worker makes them all,
// so a polygon's cover sheet is never written by two workers at once.
std::vector<std::vector<std::string>> unitsOf(const data::TextSet& keys) {
  std::vector<std::vector<std::string>> units;
  for (const auto& [key, item] : keys) {
    if (units.empty() || units.back().front().compare(0, 11, key, 0, 11) != 0) units.emplace_back();
    units.back().push_back(key);
  }
  return units;
}

// Everything of one unit's summary that is added up, in the order of the selection.
void addUnit(RunSummary& total, RunSummary&& part) {
  total.produced += part.produced;
  std::move(part.incomplete.begin(), part.incomplete.end(), std::back_inserter(total.incomplete));
  std::move(part.failed.begin(), part.failed.end(), std::back_inserter(total.failed));
  total.skippedCopies += part.skippedCopies;
  total.skippedUntyped += part.skippedUntyped;
  total.cancelled = total.cancelled || part.cancelled;
  std::move(part.messages.begin(), part.messages.end(), std::back_inserter(total.messages));
}

}  // namespace

std::string summaryLine(const RunSummary& summary) {
  std::string line = std::to_string(summary.produced) + " von " + std::to_string(summary.selected) +
                     " Geländebögen erstellt";
  if (!summary.incomplete.empty())
    line += ", " + std::to_string(summary.incomplete.size()) + " unvollständig";
  return line;
}

SkippedCodeLines::SkippedCodeLines(const data::clsDBFData& selection, std::size_t units)
    : selection_(selection.skippedCodes()), units_(units) {}

bool SkippedCodeLines::track(std::size_t unit, const data::clsDBFData& db,
                             const std::function<bool()>& work) {
  const std::size_t before = db.skippedCodes().size();
  const bool answer = work();
  const auto& after = db.skippedCodes();
  units_[unit].assign(after.begin() + static_cast<std::ptrdiff_t>(before), after.end());
  return answer;
}

void SkippedCodeLines::prependTo(std::vector<std::string>& messages) const {
  std::vector<std::string> lines = selection_;
  std::set<std::string> seen(lines.begin(), lines.end());
  for (const auto& unit : units_)
    for (const auto& line : unit)
      if (seen.insert(line).second) lines.push_back(line);
  messages.insert(messages.begin(), lines.begin(), lines.end());
}

RunSummary runCleanCopies(const word::RunContext& run, const data::TextSet& keys, bool skipCopies,
                          bool withCoverSheet, const std::atomic<bool>& cancel,
                          const RunCallbacks& callbacks, unsigned jobs) {
  RunSummary summary;
  summary.selected = keys.size();
  const app::OutputFolderLock lock(run);
  if (!lock.refusal().empty()) {
    summary.refused = lock.refusal();
    summary.cancelled = true;
    if (callbacks.finished) callbacks.finished(summary);
    run.ui.message(app::MessageIcon::Error, summary.refused);
    return summary;
  }
  app::removeLeftoversOfKilledRuns(run);
  word::RunTemplates templates(run.doc);
  if (keys.empty())
    run.ui.message(app::MessageIcon::Information,
                   "Für die ausgewählte Kombination existiert kein Geländebogen.");
  run.ui.processEvents();
  const auto units = unitsOf(keys);
  std::vector<RunSummary> parts(units.size());
  SkippedCodeLines skipped(run.db, units.size());
  std::vector<std::size_t> firstPosition(units.size());
  for (std::size_t u = 1; u < units.size(); ++u)
    firstPosition[u] = firstPosition[u - 1] + units[u - 1].size();

  RunWorkers workers(run, workersFor(jobs, run.settings));
  workers.run(units.size(), [&](std::size_t u, const word::RunContext& worker) {
    return skipped.track(u, worker.db, [&] {
      RunSummary& part = parts[u];
      std::size_t position = firstPosition[u];
      for (const std::string& key : units[u]) {
        ++position;
        if (!makeSheet(worker, workers, templates, key, position, keys.size(), skipCopies,
                       withCoverSheet, cancel, callbacks, part))
          break;
      }
      return !part.cancelled;
    });
  });
  for (auto& part : parts) addUnit(summary, std::move(part));
  // Rows the selection skipped for their codes belong in the message file too.
  skipped.prependTo(summary.messages);
  if (callbacks.finished) callbacks.finished(summary);
  summary.messageFile = app::writeMessageFile(summary.messages, run);
  return summary;
}

}  // namespace sheets
