#include "sheets/clean_copy_run.h"

#include "app/message_file.h"
#include "app/program_objects.h"
#include "app/stale_temp_files.h"
#include "data/ffh_lookups.h"
#include "sheets/ffh_polygon_col.h"
#include "sheets/mod_ffh_bogen.h"
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

}  // namespace

std::string summaryLine(const RunSummary& summary) {
  std::string line = std::to_string(summary.produced) + " von " + std::to_string(summary.selected) +
                     " Geländebögen erstellt";
  if (!summary.incomplete.empty())
    line += ", " + std::to_string(summary.incomplete.size()) + " unvollständig";
  return line;
}

RunSummary runCleanCopies(data::clsDBFData& db, const data::TextSet& keys, bool skipCopies,
                          bool withCoverSheet, const std::atomic<bool>& cancel,
                          const RunCallbacks& callbacks) {
  RunSummary summary;
  summary.selected = keys.size();
  app::removeLeftoversOfKilledRuns();
  word::RunTemplates templates;
  if (keys.empty())
    app::ui().message(app::MessageIcon::Information,
                      "Für die ausgewählte Kombination existiert kein Geländebogen.");
  app::ui().processEvents();
  std::size_t i = 0;
  for (const auto& [key, item] : keys) {
    ++i;
    const std::string polygon = key.substr(0, 11);
    const std::string type = trim(key.size() > 12 ? key.substr(12, 2) : "");
    std::string polygonTypes;
    if (data::FfhReportGetBogentypen(polygon, polygonTypes, db) != 100) {
      ++summary.skippedUntyped;
      continue;
    }
    if (cancel.load()) {
      summary.cancelled = true;
      break;
    }
    if (callbacks.progress) callbacks.progress(i, keys.size(), key);
    app::ui().processEvents();
    const word::clsWordDoc& engine = word::g_WordDoc();
    const std::string cover = polygon + "Deckblatt";
    if (withCoverSheet && callbacks.coverSheet && !templates.problem("Deckblatt").empty()) {
      summary.failed.push_back(cover);
      summary.messages.push_back(word::refusedMessage(cover, templates.problem("Deckblatt")));
    } else if (withCoverSheet && callbacks.coverSheet) {
      const std::size_t before = summary.messages.size();
      const bool failed =
          callbacks.coverSheet(polygon, polygonTypes, summary.messages, type) == 101;
      if (failed)
        app::g_Debug().Ausgabe(
            2, "Fehler! Das Deckblatt für Bogen " + key + " konnte nicht erstellt werden.");
      std::size_t covers = 0;  // not part of the sheets' count
      word::tallyDocument(
          word::judgeDocument(cover, engine.lastOutcome(), failed, before, summary.messages),
          engine.lastOutcome(), cover, covers, summary.incomplete, summary.failed);
    }
    if (skipCopies && data::FfhBogenIsCopy(key, db)) {
      ++summary.skippedCopies;
      continue;
    }
    if (const std::string& problem = templates.problem(type); !problem.empty()) {
      summary.failed.push_back(key);
      summary.messages.push_back(word::refusedMessage(key, problem));
      continue;
    }
    const std::size_t before = summary.messages.size();
    const bool failed = FfhBogenGenerateBoegen(key, db, summary.messages) == 101;
    if (failed) {
      app::g_Debug().Ausgabe(2, "cmdGenerate_Click: Fehler! Der Geländebogen " + key +
                                    " konnte nicht erstellt werden.");
      app::ui().message(app::MessageIcon::Error, "Der Report für den Geländebogen " + key +
                                                     " konnte nicht erstellt werden.");
    }
    word::tallyDocument(
        word::judgeDocument(key, engine.lastOutcome(), failed, before, summary.messages),
        engine.lastOutcome(), key, summary.produced, summary.incomplete, summary.failed);
  }
  // Rows the selection skipped for their codes belong in the message file too.
  summary.messages.insert(summary.messages.begin(), db.skippedCodes().begin(),
                          db.skippedCodes().end());
  if (callbacks.finished) callbacks.finished(summary);
  summary.messageFile = app::writeMessageFile(summary.messages);
  return summary;
}

}  // namespace sheets
