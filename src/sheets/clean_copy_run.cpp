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
#include "sheets/run_manifest.h"
#include "sheets/run_refusal.h"
#include "sheets/run_workers.h"
#include "word/cls_word_doc.h"
#include "word/part_extent_cache.h"
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
  const std::size_t n = selection.keys.size();
  if (n == 1) return "Es wurde 1 Geländebogen ausgewählt.";
  return "Es wurden " + std::to_string(n) + " Geländebögen ausgewählt.";
}

std::string selectionEntry(const std::string& key) {
  return key.substr(0, 12) + "_" + (key.size() > 12 ? key.substr(12) : "");
}

namespace {

std::string trim(const std::string& s) {
  const auto b = s.find_first_not_of(' ');
  return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// Whether a document just tried may be left as it is by the next run: written whole, and nothing
// for the message file or the notes came of it.
bool wholeAndQuiet(word::Made made, std::size_t messagesBefore, std::size_t notesBefore,
                   const std::vector<std::string>& messages, const data::clsDBFData& db) {
  return made == word::Made::kComplete && messages.size() == messagesBefore &&
         db.notes().size() == notesBefore;
}

// Makes one sheet (with its cover sheet when asked) into part; false when the run was
// cancelled before it.
bool makeSheet(const word::RunContext& run, RunWorkers& workers, word::RunTemplates& templates,
               RunManifest& manifest, const std::string& key, std::size_t position,
               std::size_t count, bool skipCopies, bool withCoverSheet,
               const std::atomic<bool>& cancel, const RunCallbacks& callbacks, RunSummary& part) {
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
  const std::string out = run.settings.get(app::kDataFilesPfad);
  const std::string cover = polygon + "Deckblatt";
  if (withCoverSheet && callbacks.coverSheet) {
    const auto inputs = manifest.inputs().coverSheet(polygon, run.db);
    const auto file = word::clsWordDoc::documentFile(out, cover, 11, true, type);
    if (const std::string problem = templates.problem("Deckblatt"); !problem.empty()) {
      part.failed.push_back(cover);
      part.messages.push_back(word::refusedMessage(cover, problem));
    } else if (!manifest.unchanged(file, inputs)) {
      const std::size_t before = part.messages.size(), notes = run.db.notes().size();
      const word::Result made =
          callbacks.coverSheet(polygon, polygonTypes, run, part.messages, type);
      if (made.legacy() == 101)
        run.log.Ausgabe(
            2, "Fehler! Das Deckblatt für Bogen " + key + " konnte nicht erstellt werden.");
      std::size_t covers = 0;  // not part of the sheets' count
      const word::Made judged =
          word::judgeDocument(cover, engine.lastOutcome(), made, before, part.messages);
      word::tallyDocument(judged, engine.lastOutcome(), cover, covers, part.incomplete,
                          part.failed);
      manifest.tried(file, inputs, wholeAndQuiet(judged, before, notes, part.messages, run.db));
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
  const auto inputs = manifest.inputs().cleanCopy(key, run.db);
  const auto file = word::clsWordDoc::documentFile(out, key, 12, false, "");
  if (manifest.unchanged(file, inputs)) {
    ++part.unchanged;
    return true;
  }
  const std::size_t before = part.messages.size(), notes = run.db.notes().size();
  const word::Result made = generateCleanCopy(key, run, part.messages);
  if (made.legacy() == 101) {
    run.log.Ausgabe(
        2, "cmdGenerate_Click: Fehler! Der Geländebogen " + key + " konnte nicht erstellt werden.");
    run.ui.message(app::MessageIcon::Error,
                   "Der Report für den Geländebogen " + key + " konnte nicht erstellt werden.");
  }
  const word::Made judged =
      word::judgeDocument(key, engine.lastOutcome(), made, before, part.messages);
  word::tallyDocument(judged, engine.lastOutcome(), key, part.produced, part.incomplete,
                      part.failed);
  manifest.tried(file, inputs, wholeAndQuiet(judged, before, notes, part.messages, run.db));
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
  total.unchanged += part.unchanged;
  std::move(part.incomplete.begin(), part.incomplete.end(), std::back_inserter(total.incomplete));
  std::move(part.failed.begin(), part.failed.end(), std::back_inserter(total.failed));
  total.skippedCopies += part.skippedCopies;
  total.skippedUntyped += part.skippedUntyped;
  total.cancelled = total.cancelled || part.cancelled;
  std::move(part.messages.begin(), part.messages.end(), std::back_inserter(total.messages));
  std::move(part.notes.begin(), part.notes.end(), std::back_inserter(total.notes));
}

}  // namespace

std::string summaryLine(const RunSummary& summary) {
  std::string line = std::to_string(summary.produced) + " von " + std::to_string(summary.selected) +
                     " Geländebögen erstellt";
  if (!summary.incomplete.empty())
    line += ", " + std::to_string(summary.incomplete.size()) + " unvollständig";
  if (summary.unchanged > 0) line += ", " + std::to_string(summary.unchanged) + " unverändert";
  return line;
}

DataLines::DataLines(const data::clsDBFData& selection, std::size_t units)
    : selection_{selection.skippedCodes(), selection.notes()}, units_(units) {}

bool DataLines::track(std::size_t unit, const data::clsDBFData& db,
                      const std::function<bool()>& work) {
  const std::size_t skippedBefore = db.skippedCodes().size();
  const std::size_t notesBefore = db.notes().size();
  const bool answer = work();
  auto since = [](const std::vector<std::string>& all, std::size_t before) {
    return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
  };
  units_[unit] = {since(db.skippedCodes(), skippedBefore), since(db.notes(), notesBefore)};
  return answer;
}

void DataLines::addTo(std::vector<std::string>& messages, std::vector<std::string>& notes,
                      const data::clsDBFData& db) const {
  auto collect = [&](auto member) {
    std::vector<std::string> lines = selection_.*member;
    std::set<std::string> seen(lines.begin(), lines.end());
    for (const auto& unit : units_)
      for (const auto& line : unit.*member)
        if (seen.insert(line).second) lines.push_back(line);
    return lines;
  };
  const auto skipped = collect(&Lines::skipped);
  messages.insert(messages.begin(), skipped.begin(), skipped.end());
  for (auto& line : collect(&Lines::notes)) notes.push_back(std::move(line));
  // A value tied to a sheet is named with that sheet's document; the others here.
  for (const data::TableNote& note : db.tableNotes())
    if (note.key.empty()) notes.push_back(note.text + ".");
}

RunSummary runCleanCopies(const word::RunContext& run, const data::TextSet& keys, bool skipCopies,
                          bool withCoverSheet, const std::atomic<bool>& cancel,
                          const RunCallbacks& callbacks, unsigned jobs, bool changedOnly) {
  RunSummary summary;
  summary.selected = keys.size();
  const app::OutputFolderLock lock(run);
  if (refusedByAnotherRun(lock, run, summary, callbacks)) return summary;
  app::removeLeftoversOfKilledRuns(run);
  word::RunTemplates templates(run.doc);
  // Cover sheets read the shapefile afresh and say what this run must know about it.
  if (withCoverSheet) word::forgetPartExtents();
  RunManifest manifest(run, changedOnly);
  summary.changedNotice = manifest.notice();
  if (keys.empty())
    run.ui.message(app::MessageIcon::Information,
                   "Für die ausgewählte Kombination existiert kein Geländebogen.");
  run.ui.processEvents();
  const auto units = unitsOf(keys);
  std::vector<RunSummary> parts(units.size());
  DataLines skipped(run.db, units.size());
  std::vector<std::size_t> firstPosition(units.size());
  for (std::size_t u = 1; u < units.size(); ++u)
    firstPosition[u] = firstPosition[u - 1] + units[u - 1].size();

  RunWorkers workers(run, workersFor(jobs));
  workers.run(units.size(), [&](std::size_t u, const word::RunContext& worker) {
    return skipped.track(u, worker.db, [&] {
      RunSummary& part = parts[u];
      std::size_t position = firstPosition[u];
      for (const std::string& key : units[u]) {
        ++position;
        if (!makeSheet(worker, workers, templates, manifest, key, position, keys.size(), skipCopies,
                       withCoverSheet, cancel, callbacks, part))
          break;
      }
      return !part.cancelled;
    });
  });
  for (auto& part : parts) addUnit(summary, std::move(part));
  manifest.save();
  summary.cancelled = summary.cancelled || workers.printingCancelled();
  // Rows the selection skipped for their codes belong in the message file too.
  skipped.addTo(summary.messages, summary.notes, run.db);
  if (withCoverSheet) {
    for (auto& note : word::mapNotes()) summary.notes.push_back(std::move(note));
    // The next run reads the shapefile afresh and says again what it has to say about it.
    word::forgetPartExtents();
  }
  if (callbacks.finished) callbacks.finished(summary);
  summary.messageFile = app::writeMessageFile(summary.messages, summary.notes, run);
  return summary;
}

}  // namespace sheets
