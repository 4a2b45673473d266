#include "sheets/clean_copy_run.h"

#include <filesystem>

#include "app/message_file.h"
#include "app/program_objects.h"
#include "data/ffh_lookups.h"
#include "sheets/ffh_polygon_col.h"
#include "sheets/mod_ffh_bogen.h"

namespace fs = std::filesystem;

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

// When the document of key was last written, or the epoch when there is none.
fs::file_time_type writtenAt(const std::string& key, const std::string& type) {
  std::error_code ec;
  const fs::path file = fs::path(app::settings().get(app::kDataFilesPfad)) / type / (key + ".docx");
  auto t = fs::last_write_time(file, ec);
  return ec ? fs::file_time_type::min() : t;
}

}  // namespace

RunSummary runCleanCopies(data::clsDBFData& db, const data::TextSet& keys, bool skipCopies,
                          bool withCoverSheet, const std::atomic<bool>& cancel,
                          const RunCallbacks& callbacks) {
  RunSummary summary;
  summary.selected = keys.size();
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
    if (withCoverSheet && callbacks.coverSheet &&
        callbacks.coverSheet(polygon, polygonTypes, summary.messages, type) == 101)
      app::g_Debug().Ausgabe(
          2, "Fehler! Das Deckblatt für Bogen " + key + " konnte nicht erstellt werden.");
    if (skipCopies && data::FfhBogenIsCopy(key, db)) {
      ++summary.skippedCopies;
      continue;
    }
    const auto before = writtenAt(key, type);
    if (FfhBogenGenerateBoegen(key, db, summary.messages) == 101) {
      app::g_Debug().Ausgabe(2, "cmdGenerate_Click: Fehler! Der Geländebogen " + key +
                                    " konnte nicht erstellt werden.");
      app::ui().message(app::MessageIcon::Error, "Der Report für den Geländebogen " + key +
                                                     " konnte nicht erstellt werden.");
      summary.failed.push_back(key);
    } else if (writtenAt(key, type) > before) {
      ++summary.produced;
    } else {
      // The driver answers 100 also when no document could be opened; the log says why.
      summary.failed.push_back(key);
    }
  }
  // Rows the selection skipped for their codes belong in the message file too.
  summary.messages.insert(summary.messages.begin(), db.skippedCodes().begin(),
                          db.skippedCodes().end());
  app::writeMessageFile(summary.messages);
  return summary;
}

}  // namespace sheets
