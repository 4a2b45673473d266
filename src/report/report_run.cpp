#include "report/report_run.h"

#include <set>

#include "app/message_file.h"
#include "app/program_objects.h"
#include "app/stale_temp_files.h"
#include "data/area_selection.h"
#include "data/ffh_lookups.h"
#include "report/error_text.h"
#include "report/map_index_cache.h"
#include "report/mod_ffh_report_bogen.h"
#include "word/cls_word_doc.h"
#include "word/run_templates.h"

namespace report {
namespace {

const std::vector<std::string> kAllTypes = {"F", "GN", "GT", "H", "K", "M", "S", "T", "W", "X"};

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
  ~ExtentsOfThisRun() { forgetPartExtents(); }
};

}  // namespace

PolygonSelection selectPolygons(data::clsDBFData& db, const PolygonChoice& choice) {
  PolygonSelection out;
  data::TextSet sheets;
  data::AreaRoots roots;
  if (db.GetReportBogenNumbers(kAllTypes, sheets, roots) != 100) {
    app::g_Debug().Ausgabe(2, "Fehler! Geländebogennummern konnten nicht ermittelt werden.");
    app::ui().message(
        app::MessageIcon::Warning,
        "Die Geländebogennummern konnten nicht ermittelt werden.\nBitte versuchen Sie "
        "es erneut.");
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

ReportSummary runReports(data::clsDBFData& db, const std::vector<std::string>& polygonCodes,
                         bool skipCopies, const std::atomic<bool>& cancel,
                         const ReportCallbacks& callbacks) {
  app::clsDebug& log = app::g_Debug();
  ReportSummary summary;
  summary.selected = polygonCodes.size();
  app::removeLeftoversOfKilledRuns();
  word::RunTemplates templates;
  const ExtentsOfThisRun extents;
  app::ui().processEvents();
  try {
    std::size_t position = 0;
    for (const std::string& code : polygonCodes) {
      ++position;
      std::string types;
      if (data::FfhReportGetBogentypen(code, types, db) != 100) {
        ++summary.skippedUntyped;
        continue;
      }
      if (cancel.load()) {
        summary.cancelled = true;
        break;
      }
      if (callbacks.progress) callbacks.progress(position, polygonCodes.size(), code);
      app::ui().processEvents();
      if (skipCopies && data::FfhBogenIsCopy(code + "_", db)) {
        ++summary.skippedCopies;
        continue;
      }
      ++summary.polygons;
      const word::clsWordDoc& engine = word::g_WordDoc();
      std::size_t before = summary.messages.size();
      const std::string& coverProblem = templates.problem("Deckblatt");
      bool failed = !coverProblem.empty() ||
                    FfhReportGenerateDeckblatt(code, types, db, summary.messages, false, "") == 101;
      if (!coverProblem.empty())
        summary.messages.push_back(word::refusedMessage(code + "Deckblatt", coverProblem));
      else if (failed)
        log.Ausgabe(2,
                    "Fehler! Das Deckblatt für Report " + code + " konnte nicht erstellt werden.");
      word::tallyDocument(word::judgeDocument(code + "Deckblatt", engine.lastOutcome(), failed,
                                              before, summary.messages),
                          engine.lastOutcome(), code, summary.coverSheets, summary.incomplete,
                          summary.failedCoverSheets);
      std::vector<std::string> keys;
      FfhReportGetBogen(code, db, keys);
      for (const std::string& key : keys) {
        if (const std::string& problem = templates.problem(
                key.size() > 12 ? key.substr(12) + "-Report" : std::string("-Report"));
            !problem.empty()) {
          summary.failed.push_back(key);
          summary.messages.push_back(word::refusedMessage(key + "-Report", problem));
          continue;
        }
        before = summary.messages.size();
        failed = FfhReportGenerateBoegen(key, db, summary.messages) == 101;
        if (failed)
          log.Ausgabe(2, "Fehler! Der Geländebogen " + key + " konnte nicht erstellt werden.");
        word::tallyDocument(word::judgeDocument(key + "-Report", engine.lastOutcome(), failed,
                                                before, summary.messages),
                            engine.lastOutcome(), key, summary.reports, summary.incomplete,
                            summary.failed);
      }
    }
  } catch (const data::FatalError&) {
    throw;
  } catch (const std::exception& e) {
    summary.aborted = true;
    summary.error = userCause(e);
    log.Ausgabe(2, "cmdGenerate_Click: Fehler! Nicht abgefangener Fehler." + errorText(e));
    word::resetWordDoc();
    return summary;
  }
  // Rows the selection skipped for their codes belong in the message file too.
  summary.messages.insert(summary.messages.begin(), db.skippedCodes().begin(),
                          db.skippedCodes().end());
  if (callbacks.finished) callbacks.finished(summary);
  summary.messageFile = app::writeMessageFile(summary.messages);
  return summary;
}

}  // namespace report
