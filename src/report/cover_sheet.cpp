#include <cmath>

#include "data/shown_query.h"
#include "report/mod_ffh_report_bogen.h"
#include "report/polygon_map.h"
#include "report/report_format.h"
#include "word/cls_word_doc.h"
#include "word/error_text.h"
#include "word/run_context.h"

namespace report {
word::Result generateCoverSheet(const std::string& polygonCode, const std::string& sheetTypes,
                                const word::RunContext& run, std::vector<std::string>& messages,
                                bool useOwnFolder, const std::string& folderName) {
  app::clsDebug& log = run.log;
  word::clsWordDoc& doc = run.doc;
  word::Result result(word::ResultCode::kNotWritten, "Das Deckblatt wurde nicht geöffnet.");
  try {
    if (doc.CreateWordApplication() != 100) {
      word::Result noEngine(word::ResultCode::kFailed,
                            "Konnte keine Verbindung zur Word-Applikation herstellen.");
      log.Ausgabe(2, "Fehler! " + noEngine.text());
      return noEngine;
    }
    // A cover sheet without its map, area or survey units is stored all the same, but the run
    // must not count it as made: the answer is 101 and the run names the missing parts.
    bool complete = true;
    if (doc.OpenWordDokument(polygonCode + "Deckblatt", word::programFolder(), messages, 11,
                             useOwnFolder, folderName) == 100) {
      // A part that fails, or that could not write what it had to, leaves the cover sheet
      // incomplete; the run names it with the cause. Warnings in the log cost nothing.
      std::size_t unfilledBefore = doc.unfilledCount();
      std::string cause;
      if (FfhReportPolygon(polygonCode, run, &cause) != 100) {
        log.Ausgabe(2, "Fehler! Das Polygon konnte im Deckblatt nicht korrekt gesetzt werden.");
        if (!cause.empty()) doc.noteUnfilled(cause);
        complete = false;
      }
      if (!complete || doc.unfilledCount() > unfilledBefore) doc.markIncomplete("Karte und Fläche");
      unfilledBefore = doc.unfilledCount();
      if (FfhReportErfassungseinheiten(polygonCode, sheetTypes, run) != 100) {
        log.Ausgabe(2,
                    "Fehler! Die Erfassungseinheiten konnte im Deckblatt nicht korrekt gesetzt "
                    "werden.");
        doc.markIncomplete("Erfassungseinheiten");
        complete = false;
      }
      if (doc.unfilledCount() > unfilledBefore) doc.markIncomplete("Erfassungseinheiten");
      doc.CloseWordDokument();
      log.Ausgabe(3, "FfhReportGenerateDeckblatt: Datei " + polygonCode + " generiert.");
      if (!doc.lastOutcome().saved)  // the engine said why; unfinished as well, it failed
        result = word::Result(complete ? word::ResultCode::kNotWritten : word::ResultCode::kFailed,
                              "Das Deckblatt wurde nicht gespeichert.");
      else if (!complete)
        result = word::Result(word::ResultCode::kIncomplete, "Dem Deckblatt fehlen Teile.");
      else
        result = word::Result();
    }  // else not stored: the message list already says why, and the run sees it
    doc.DeleteWordApplication();
  } catch (const data::FatalError&) {
    // The program ends; what was filled is stored first.
    doc.CloseWordDokument();
    doc.DeleteWordApplication();
    throw;
  } catch (const std::exception& e) {
    log.Ausgabe(
        2, "Fehler! Nicht abgefangener Fehler in FfhReportGenerateDeckblatt." + word::errorText(e));
    // Left running, the engine would refuse every later document of the run.
    doc.CloseWordDokument();
    const bool saved = doc.lastOutcome().saved;  // what was filled before the error
    doc.DeleteWordApplication();
    result = word::Result(saved ? word::ResultCode::kIncomplete : word::ResultCode::kFailed,
                          "Nicht abgefangener Fehler." + word::errorText(e));
  }
  return result;
}

int16_t FfhReportGenerateDeckblatt(const std::string& polygonCode, const std::string& sheetTypes,
                                   const word::RunContext& run, std::vector<std::string>& messages,
                                   bool useOwnFolder, const std::string& folderName) {
  return generateCoverSheet(polygonCode, sheetTypes, run, messages, useOwnFolder, folderName)
      .legacy();
}

int16_t FfhReportPolygon(const std::string& polygonCode, const word::RunContext& run,
                         std::string* cause) {
  app::clsDebug& log = run.log;
  // The cause is logged as well: the run names an incomplete cover sheet by its first error.
  auto fail = [&](const std::string& why) {
    if (cause) *cause = why;
    log.Ausgabe(2, "Fehler! " + why + ".");
    return int16_t{101};
  };
  const std::string key = polygonCode.substr(0, 11);
  data::Value storedArea;
  const int32_t record = shapeRecordOf(key, run.db, &storedArea);
  if (record < 0) {
    log.Ausgabe(2, data::failedQueryLine("FfhReportPolygon", "", 0));
    return fail("die Attributtabelle der Shape-Datei fehlt");
  }
  if (record == 0) {
    const int16_t result = fail("Polygon " + key + " fehlt in der Attributtabelle der Shape-Datei");
    log.Ausgabe(2,
                "Fehler! Der Shape-Eintrag in der shape.dbf-Datei konnte nicht gefunden werden.");
    return result;
  }
  std::string mapCause;
  double measured = 0;
  if (ffhReportSetPolygon(record, run, &mapCause, &measured) != 100) {
    log.Ausgabe(2, "Fehler! Das Shape-Polygon konnte nicht erzeugt werden.");
    return fail("keine Karte, " + mapCause);
  }
  double stored = 0;
  std::string area = hectareText(storedArea);
  if (storedArea.isNull() || !storedArea.toNumber(stored) || !std::isfinite(stored)) {
    // No area in the table: the one the map was drawn from, in the same metres.
    area = hectareText(data::Value::real(measured));
    run.db.addNote(run.db.shapeTableHasArea()
                       ? "Das Polygon " + key +
                             " hat in der Attributtabelle der Shape-Datei keine Fläche (AREA); "
                             "sein Deckblatt zeigt die aus seiner Geometrie berechnete."
                       : std::string("Die Attributtabelle der Shape-Datei hat keine Spalte AREA; "
                                     "die Deckblätter zeigen die aus der Geometrie der Polygone "
                                     "berechneten Flächen."));
  }
  if (run.doc.SetTextMarke("HA", area, "", true) != 100) {
    log.Ausgabe(2, "Fehler! Die Textmarke HA konnte nicht korrekt gesetzt werden.");
    return fail("die Fläche (Textmarke HA) konnte nicht eingetragen werden");
  }
  return 100;
}

int32_t shapeRecordOf(const std::string& polygonCode, data::clsDBFData& db, data::Value* area) {
  data::Recordset rows;
  if (!db.GetShapeRecordset(polygonCode.substr(0, 11), rows)) return -1;
  // GetShapeRecordset answers the polygon's rows only, the one that counts last.
  int32_t record = 0;
  for (; !rows.isEOF(); rows.MoveNext()) {
    record = static_cast<int32_t>(rows.value("SATZNR").asInteger());
    if (area) *area = rows.value("AREA");
  }
  return record;
}

CoverSheetFunction coverSheetInFolder() {
  return
      [](const std::string& polygonCode, const std::string& sheetTypes, const word::RunContext& run,
         std::vector<std::string>& messages, const std::string& folder) {
        return generateCoverSheet(polygonCode, sheetTypes, run, messages, true, folder);
      };
}

}  // namespace report
