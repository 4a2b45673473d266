#include "report/report_run.h"

#include <iterator>
#include <set>

#include "app/message_file.h"
#include "app/output_folder_lock.h"
#include "app/run_services.h"
#include "app/stale_temp_files.h"
#include "data/area_selection.h"
#include "data/ffh_lookups.h"
#include "data/sheet_code_rule.h"
#include "data/sheet_types.h"
#include "report/mod_ffh_report_bogen.h"
#include "sheets/clean_copy_run.h"
#include "sheets/run_workers.h"
#include "word/cls_word_doc.h"
#include "word/error_text.h"
#include "word/part_extent_cache.h"
#include "word/run_templates.h"

namespace report {
namespace {

template <class Select, class All>
std::vector<std::string> choose(const std::vector<std::string>& values, Select select, All all) {
  if (values.empty()) {
    all();
    return {};
  }
  return select(values);
}

// Forgets the shapefile's part extents when the run ends, however it ends.
struct ExtentsOfThisRun {
  ~ExtentsOfThisRun() { word::forgetPartExtents(); }
};

}  // namespace

PolygonSelection selectPolygons(data::clsDBFData& db, const PolygonChoice& choice) {
  PolygonSelection out;
  data::TextSet sheets;
  data::AreaRoots roots;
  if (db.GetReportBogenNumbers(data::kSheetTypes, sheets, roots) != 100) {
    const app::RunServices services = db.services();
    services.log.Ausgabe(2, "Fehler! Geländebogennummern konnten nicht ermittelt werden.");
    app::reportUnreadableSurvey(
        "Die Geländebogennummern konnten nicht ermittelt werden.\nBitte versuchen Sie es erneut.",
        db.lastError(), services, app::MessageIcon::Warning);
    return out;
  }
  data::AreaSelection lists(data::AreaSelection::Mode::Report);
  lists.SetBogenNumbers(roots);
  out.unknownAreas = choose(
      choice.areas, [&](const auto& v) { return lists.selectAreasByValue(v); },
      [&] { lists.selectAllAreas(); });
  out.unknownSubAreas = choose(
      choice.subAreas, [&](const auto& v) { return lists.selectSubAreasByValue(v); },
      [&] { lists.selectAllSubAreas(); });
  out.unknownPolygons = choose(
      choice.polygons, [&](const auto& v) { return lists.selectPolygonsByValue(v); },
      [&] { lists.selectAllPolygons(); });
  // Two areas may each have a sub-area of the same number; their combinations repeat codes,
  // which would only make the same documents twice.
  std::set<std::string> seen;
  for (auto& code : lists.selectedPolygonCodes())
    if (seen.insert(code).second) out.codes.push_back(std::move(code));
  out.status = 100;
  return out;
}

std::string summaryLine(const ReportSummary& summary) {
  std::string line = std::to_string(summary.coverSheets) + " Deckblätter und " +
                     std::to_string(summary.reports) + " Datenreports für " +
                     std::to_string(summary.polygons) + " Polygone erstellt";
  if (!summary.incomplete.empty())
    line += ", " + std::to_string(summary.incomplete.size()) + " unvollständig";
  return line;
}

namespace {

// A sheet is reported under the polygon its GBPOLYGON names. One whose code lies in this polygon
// but whose GBPOLYGON names no polygon of the run (Null, or a polygon no sheet code has) would be
// missing without a word: it is named as not made.
void nameStraySheets(const std::string& code, const std::set<std::string>& polygons,
                     data::clsDBFData& db, ReportSummary& part) {
  for (const auto& sheet : data::sheetsByCode(code, db)) {
    if (!sheet.polygon.isNull() && polygons.count(sheet.polygon.toText())) continue;
    part.failed.push_back(sheet.key);
    part.messages.push_back(
        "Der Datenreport zum Geländebogen " + sheet.key + " wurde nicht erstellt: " +
        (sheet.polygon.isNull() ? std::string("sein Feld GBPOLYGON ist leer")
                                : "sein Feld GBPOLYGON nennt das Polygon " +
                                      sheet.polygon.toText() + ", das nicht im Lauf ist") +
        ".");
  }
}

// One polygon: its cover sheet and its reports, into part. False when the run is to stop:
// cancelled before the polygon, or an unexpected error (part says aborted).
bool reportPolygon(const word::RunContext& run, sheets::RunWorkers& workers,
                   word::RunTemplates& templates, const std::string& code,
                   const std::set<std::string>& polygons, std::size_t position, std::size_t count,
                   bool skipCopies, const std::atomic<bool>& cancel,
                   const ReportCallbacks& callbacks, ReportSummary& part) {
  app::clsDebug& log = run.log;
  try {
    std::string types;
    switch (sheets::startTurn(run, workers, code, types, cancel, callbacks.progress, position,
                              count, code)) {
      case sheets::Turn::kUntyped:
        ++part.skippedUntyped;
        return true;
      case sheets::Turn::kCancelled:
        part.cancelled = true;
        return false;
      case sheets::Turn::kGo:
        break;
    }
    if (skipCopies && data::FfhBogenIsCopy(code + "_", run.db)) {
      ++part.skippedCopies;
      return true;
    }
    ++part.polygons;
    const word::clsWordDoc& engine = run.doc;
    std::size_t before = part.messages.size();
    const std::string coverProblem = templates.problem("Deckblatt");
    word::Result made(word::ResultCode::kNotWritten, coverProblem);
    if (!coverProblem.empty()) {
      part.messages.push_back(word::refusedMessage(code + "Deckblatt", coverProblem));
    } else {
      made = generateCoverSheet(code, types, run, part.messages, false, "");
      if (made.legacy() == 101)
        log.Ausgabe(2,
                    "Fehler! Das Deckblatt für Report " + code + " konnte nicht erstellt werden.");
    }
    PolygonDocuments documents;
    const word::Made cover =
        word::judgeDocument(code + "Deckblatt", engine.lastOutcome(), made, before, part.messages);
    word::tallyDocument(cover, engine.lastOutcome(), code, part.coverSheets, part.incomplete,
                        part.failedCoverSheets);
    documents.add(cover, code + "Deckblatt", engine.lastOutcome().file);
    std::vector<std::string> keys;
    FfhReportGetBogen(code, run.db, keys);
    std::set<std::string> seenKeys;
    for (const std::string& key : keys) {
      // A code and type stored twice are one sheet: one report, counted once.
      if (!seenKeys.insert(key).second) {
        run.db.addNote(data::repeatedSheetNote(key));
        continue;
      }
      if (const std::string problem = templates.problem(key.size() > 12 ? key.substr(12) + "-Report"
                                                                        : std::string("-Report"));
          !problem.empty()) {
        part.failed.push_back(key);
        part.messages.push_back(word::refusedMessage(key + "-Report", problem));
        documents.add(word::Made::kNotMade, key + "-Report", {});
        continue;
      }
      before = part.messages.size();
      made = generateReport(key, run, part.messages);
      if (made.legacy() == 101)
        log.Ausgabe(2, "Fehler! Der Geländebogen " + key + " konnte nicht erstellt werden.");
      const word::Made report =
          word::judgeDocument(key + "-Report", engine.lastOutcome(), made, before, part.messages);
      word::tallyDocument(report, engine.lastOutcome(), key, part.reports, part.incomplete,
                          part.failed);
      documents.add(report, key + "-Report", engine.lastOutcome().file);
    }
    nameStraySheets(code, polygons, run.db, part);
    if (callbacks.dossier) {
      std::string line;
      if (writeDossier(callbacks.dossier, documents,
                       dossierPath(run.settings.get(app::kDataFilesPfad), code), line))
        ++part.dossiers;
      if (!line.empty()) part.messages.push_back(line);
    }
    return true;
  } catch (const data::FatalError&) {
    throw;
  } catch (const std::exception& e) {
    part.aborted = true;
    part.error = word::userCause(e);
    log.Ausgabe(2, "cmdGenerate_Click: Fehler! Nicht abgefangener Fehler." + word::errorText(e));
    // Left running, the engine would refuse every later document.
    run.doc.DeleteWordApplication();
    return false;
  }
}

void addPolygon(ReportSummary& total, ReportSummary&& part) {
  total.polygons += part.polygons;
  total.coverSheets += part.coverSheets;
  total.reports += part.reports;
  total.dossiers += part.dossiers;
  std::move(part.incomplete.begin(), part.incomplete.end(), std::back_inserter(total.incomplete));
  std::move(part.failedCoverSheets.begin(), part.failedCoverSheets.end(),
            std::back_inserter(total.failedCoverSheets));
  std::move(part.failed.begin(), part.failed.end(), std::back_inserter(total.failed));
  total.skippedCopies += part.skippedCopies;
  total.skippedUntyped += part.skippedUntyped;
  total.cancelled = total.cancelled || part.cancelled;
  if (part.aborted && !total.aborted) {
    total.aborted = true;
    total.error = part.error;
  }
  std::move(part.messages.begin(), part.messages.end(), std::back_inserter(total.messages));
  std::move(part.notes.begin(), part.notes.end(), std::back_inserter(total.notes));
}

}  // namespace

ReportSummary runReports(const word::RunContext& run, const std::vector<std::string>& polygonCodes,
                         bool skipCopies, const std::atomic<bool>& cancel,
                         const ReportCallbacks& callbacks, unsigned jobs) {
  ReportSummary summary;
  summary.selected = polygonCodes.size();
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
  const ExtentsOfThisRun extents;
  run.ui.processEvents();
  std::vector<ReportSummary> parts(polygonCodes.size());
  const std::set<std::string> polygons(polygonCodes.begin(), polygonCodes.end());
  sheets::DataLines skipped(run.db, polygonCodes.size());
  sheets::RunWorkers workers(run, sheets::workersFor(jobs));
  workers.run(polygonCodes.size(), [&](std::size_t i, const word::RunContext& worker) {
    return skipped.track(i, worker.db, [&] {
      return reportPolygon(worker, workers, templates, polygonCodes[i], polygons, i + 1,
                           polygonCodes.size(), skipCopies, cancel, callbacks, parts[i]);
    });
  });
  for (auto& part : parts) addPolygon(summary, std::move(part));
  summary.cancelled = summary.cancelled || workers.printingCancelled();
  if (summary.aborted) return summary;
  // Rows the selection skipped for their codes belong in the message file too.
  skipped.addTo(summary.messages, summary.notes, run.db);
  for (auto& note : word::damagedRecordNotes()) summary.notes.push_back(std::move(note));
  if (callbacks.finished) callbacks.finished(summary);
  summary.messageFile = app::writeMessageFile(summary.messages, summary.notes, run);
  return summary;
}

}  // namespace report
