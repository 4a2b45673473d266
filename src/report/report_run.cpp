#include "report/report_run.h"

#include <iterator>
#include <set>

#include "app/message_file.h"
#include "app/output_folder_lock.h"
#include "app/run_services.h"
#include "app/stale_temp_files.h"
#include "data/area_selection.h"
#include "data/ffh_lookups.h"
#include "data/schema/sheet_types.h"
#include "data/sheet_code_rule.h"
#include "report/mod_ffh_report_bogen.h"
#include "sheets/clean_copy_run.h"
#include "sheets/run_manifest.h"
#include "sheets/run_refusal.h"
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

// The shapefile as this run reads it: what a preview read before is forgotten when the run
// starts, so that the run says its coordinate note, and again when it ends, however it ends.
struct ExtentsOfThisRun {
  ExtentsOfThisRun() { word::forgetPartExtents(); }
  ~ExtentsOfThisRun() { word::forgetPartExtents(); }
  ExtentsOfThisRun(const ExtentsOfThisRun&) = delete;
  ExtentsOfThisRun& operator=(const ExtentsOfThisRun&) = delete;
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
  if (summary.unchanged > 0) line += ", " + std::to_string(summary.unchanged) + " unverändert";
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

// The inputs of a polygon's PDF-Mappe: its documents in order, each with its inputs; nullopt when
// those of one are unknown.
class DossierInputs {
 public:
  void add(const std::string& name, const std::optional<base::Digest>& inputs) {
    known_ = known_ && inputs.has_value();
    if (inputs) hash_.add(name).add(*inputs);
  }
  std::optional<base::Digest> digest() {
    if (!known_) return std::nullopt;
    return hash_.finish();
  }

 private:
  base::ContentHash hash_;
  bool known_ = true;
};

// One polygon: its cover sheet and its reports, into part. False when the run is to stop:
// cancelled before the polygon, or an unexpected error (part says aborted).
bool reportPolygon(const word::RunContext& run, sheets::RunWorkers& workers,
                   word::RunTemplates& templates, sheets::RunManifest& manifest,
                   const std::string& code, const std::set<std::string>& polygons,
                   std::size_t position, std::size_t count, bool skipCopies,
                   const std::atomic<bool>& cancel, const ReportCallbacks& callbacks,
                   ReportSummary& part) {
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
    const std::string out = run.settings.get(app::kDataFilesPfad);
    const std::size_t unchangedBefore = part.unchanged;
    std::size_t tried = 0;
    PolygonDocuments documents;
    DossierInputs dossierInputs;
    // Answers whether the document at file stays as it is; one that stays goes into the
    // PDF-Mappe as it lies.
    auto stays = [&](const std::string& name, const std::filesystem::path& file,
                     const std::optional<base::Digest>& inputs) {
      dossierInputs.add(name, inputs);
      if (!manifest.unchanged(file, inputs)) {
        ++tried;
        return false;
      }
      ++part.unchanged;
      documents.add(word::Made::kComplete, name, file);
      return true;
    };
    // Judges a document just tried, counts it and keeps it in the list when it came out whole.
    auto judge = [&](const std::string& name, const std::filesystem::path& file,
                     const std::optional<base::Digest>& inputs, const word::Result& made,
                     std::size_t before, std::size_t notes, const std::string& failedKey,
                     std::size_t& madeCount, std::vector<std::string>& failed) {
      const word::Made judged =
          word::judgeDocument(name, engine.lastOutcome(), made, before, part.messages);
      word::tallyDocument(judged, engine.lastOutcome(), failedKey, madeCount, part.incomplete,
                          failed);
      documents.add(judged, name, engine.lastOutcome().file);
      manifest.tried(file, inputs,
                     judged == word::Made::kComplete && part.messages.size() == before &&
                         run.db.notes().size() == notes);
    };

    const std::string coverName = code + "Deckblatt";
    const auto coverFile = word::clsWordDoc::documentFile(out, coverName, 11, false, "");
    const auto coverInputs = manifest.inputs().coverSheet(code, run.db);
    if (!stays(coverName, coverFile, coverInputs)) {
      const std::size_t before = part.messages.size(), notes = run.db.notes().size();
      const std::string coverProblem = templates.problem("Deckblatt");
      word::Result made(word::ResultCode::kNotWritten, coverProblem);
      if (!coverProblem.empty()) {
        part.messages.push_back(word::refusedMessage(coverName, coverProblem));
      } else {
        made = generateCoverSheet(code, types, run, part.messages, false, "");
        if (made.legacy() == 101)
          log.Ausgabe(
              2, "Fehler! Das Deckblatt für Report " + code + " konnte nicht erstellt werden.");
      }
      judge(coverName, coverFile, coverInputs, made, before, notes, code, part.coverSheets,
            part.failedCoverSheets);
    }
    std::vector<std::string> keys;
    FfhReportGetBogen(code, run.db, keys);
    std::set<std::string> seenKeys;
    for (const std::string& key : keys) {
      // A code and type stored twice are one sheet: one report, counted once.
      if (!seenKeys.insert(key).second) {
        run.db.addNote(data::repeatedSheetNote(key));
        continue;
      }
      const std::string name = key + "-Report";
      const auto file = word::clsWordDoc::documentFile(out, name, 12, false, "");
      const auto inputs = manifest.inputs().report(key, run.db);
      if (stays(name, file, inputs)) continue;
      if (const std::string problem = templates.problem(key.size() > 12 ? key.substr(12) + "-Report"
                                                                        : std::string("-Report"));
          !problem.empty()) {
        part.failed.push_back(key);
        part.messages.push_back(word::refusedMessage(name, problem));
        documents.add(word::Made::kNotMade, name, {});
        manifest.tried(file, inputs, false);
        continue;
      }
      const std::size_t before = part.messages.size(), notes = run.db.notes().size();
      const word::Result made = generateReport(key, run, part.messages);
      if (made.legacy() == 101)
        log.Ausgabe(2, "Fehler! Der Geländebogen " + key + " konnte nicht erstellt werden.");
      judge(name, file, inputs, made, before, notes, key, part.reports, part.failed);
    }
    nameStraySheets(code, polygons, run.db, part);
    // A polygon all of whose documents stay was not reported again.
    if (tried == 0 && part.unchanged > unchangedBefore) --part.polygons;
    if (callbacks.dossier) {
      const auto target = dossierPath(out, code);
      const auto inputs = dossierInputs.digest();
      if (!manifest.unchanged(target, inputs)) {
        std::string line;
        const bool written = writeDossier(callbacks.dossier, documents, target, line);
        if (written) ++part.dossiers;
        if (!line.empty()) part.messages.push_back(line);
        manifest.tried(target, inputs, written && line.empty());
      }
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
  total.unchanged += part.unchanged;
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
                         const ReportCallbacks& callbacks, unsigned jobs, bool changedOnly) {
  ReportSummary summary;
  summary.selected = polygonCodes.size();
  const app::OutputFolderLock lock(run);
  if (sheets::refusedByAnotherRun(lock, run, summary, callbacks)) return summary;
  app::removeLeftoversOfKilledRuns(run);
  word::RunTemplates templates(run.doc);
  sheets::RunManifest manifest(run, changedOnly);
  summary.changedNotice = manifest.notice();
  const ExtentsOfThisRun extents;
  run.ui.processEvents();
  std::vector<ReportSummary> parts(polygonCodes.size());
  const std::set<std::string> polygons(polygonCodes.begin(), polygonCodes.end());
  sheets::DataLines skipped(run.db, polygonCodes.size());
  sheets::RunWorkers workers(run, sheets::workersFor(jobs));
  workers.run(polygonCodes.size(), [&](std::size_t i, const word::RunContext& worker) {
    return skipped.track(i, worker.db, [&] {
      return reportPolygon(worker, workers, templates, manifest, polygonCodes[i], polygons, i + 1,
                           polygonCodes.size(), skipCopies, cancel, callbacks, parts[i]);
    });
  });
  for (auto& part : parts) addPolygon(summary, std::move(part));
  manifest.save();
  summary.cancelled = summary.cancelled || workers.printingCancelled();
  if (summary.aborted) return summary;
  // Rows the selection skipped for their codes belong in the message file too.
  skipped.addTo(summary.messages, summary.notes, run.db);
  for (auto& note : word::mapNotes()) summary.notes.push_back(std::move(note));
  if (callbacks.finished) callbacks.finished(summary);
  summary.messageFile = app::writeMessageFile(summary.messages, summary.notes, run);
  return summary;
}

}  // namespace report
