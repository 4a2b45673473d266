#include "sheets/document_cycle.h"

#include <filesystem>

#include "base/ascii_case.h"
#include "sheets/mod_ffh_bogen.h"
#include "word/cls_word_doc.h"
#include "word/run_context.h"

namespace sheets {
namespace {

// The part of a document that shows a row of table: the sheet table is the head, the sheet
// type's two tables the body, remarks, species and plant sociology the footer; "" for a table
// the document does not show (another type's tables).
std::string partShowing(const std::string& table, const std::string& key,
                        const data::clsDBFData& db) {
  const std::string name = std::filesystem::path(table).stem().string();
  auto is = [&](const std::string& other) { return base::equalsNoCase(name, other); };
  if (is(db.tableName(24))) return "Kopfbereich";
  std::string main, second;
  if (db.GetTableName(key, 1, main) && db.GetTableName(key, 2, second) && (is(main) || is(second)))
    return "Bogenbereich";
  if (is(db.tableName(1)) || is(db.tableName(2)) || is(db.tableName(27))) return "Fußbereich";
  return {};
}

// A value the tables could not read was left empty in the document, which therefore lacks it.
void noteUnreadValues(const std::string& key, const word::RunContext& run) {
  for (const data::TableNote& note : run.db.tableNotesFor(sheetCode(key))) {
    const std::string part = partShowing(note.table, key, run.db);
    if (part.empty()) continue;
    run.doc.noteUnfilled(note.text + " (das Feld bleibt leer)");
    run.doc.markIncomplete(part);
  }
}

}  // namespace

word::Result generateDocument(const std::string& routine, const std::string& key,
                              const std::string& documentName, const word::RunContext& run,
                              std::vector<std::string>& messages, const DocumentParts& parts,
                              const std::function<void()>& afterSave) {
  app::clsDebug& log = run.log;
  word::clsWordDoc& doc = run.doc;
  if (!run.db.ValidFilePaths()) {
    const word::Result noDatabase(word::ResultCode::kFailed,
                                  "Die Verbindung zur Datenbank konnte nicht hergestellt werden.");
    log.Ausgabe(2, routine + ": Fehler! " + noDatabase.text());
    return noDatabase;
  }
  run.ui.processEvents();
  if (doc.CreateWordApplication() != 100) {
    const word::Result noEngine(word::ResultCode::kFailed,
                                "Konnte keine Verbindung zur Word-Applikation herstellen.");
    log.Ausgabe(2, "Fehler! " + noEngine.text());
    return noEngine;
  }
  word::Result result(word::ResultCode::kNotWritten, "Das Dokument wurde nicht geöffnet.");
  if (doc.OpenWordDokument(documentName, word::programFolder(), messages, 12, false, "") == 100) {
    // A part is unfilled when it fails or something it had to write could not be written (the
    // engine notes that); a failing part stops the later ones, which stay unfilled as well.
    // Warnings in the log cost nothing.
    const char* const names[] = {"Kopfbereich", "Bogenbereich", "Fußbereich"};
    const char* const lines[] = {"Der Kopfbereich", "Der Bogenbereich", "Der Fußbereich"};
    const DocumentPart* const steps[] = {&parts.head, &parts.body, &parts.footer};
    for (int part = 0; part < 3; ++part) {
      if (part > 0) run.ui.processEvents();
      const std::size_t unfilledBefore = doc.unfilledCount();
      const bool filled = (*steps[part])(key, run) == 100;
      if (doc.unfilledCount() > unfilledBefore) doc.markIncomplete(names[part]);
      if (filled) continue;
      log.Ausgabe(2, routine + ": Fehler! " + lines[part] + " für " + key +
                         " konnte nicht erstellt werden.");
      for (int later = part; later < 3; ++later) doc.markIncomplete(names[later]);
      break;
    }
    noteUnreadValues(key, run);
    doc.CloseWordDokument();
    log.Ausgabe(3, routine + ": Datei " + key + " generiert.");
    if (afterSave) afterSave();
    result = doc.lastOutcome().saved ? word::Result()
                                     : word::Result(word::ResultCode::kNotWritten,
                                                    "Das Dokument wurde nicht gespeichert.");
  }
  doc.DeleteWordApplication();
  return result;
}

int16_t forEachTypeTable(const std::string& routine, const std::string& key,
                         const word::RunContext& run,
                         const std::function<void(data::Recordset&, const std::string&)>& write) {
  app::clsDebug& log = run.log;
  data::clsDBFData& db = run.db;
  const std::string code = sheetCode(key);
  int16_t index = -1;
  if (!db.GetDBNumber(key, index)) {
    log.Ausgabe(2,
                routine + ": Fehler! Die Geländebogenkennung von " + key + " ist nicht vorhanden.");
    return 101;
  }
  for (int16_t part = 1; part <= 2; ++part) {
    if (part == 2) ++index;
    std::string table;
    if (!db.GetTableName(key, part, table)) {
      log.Ausgabe(
          2, routine + ": Fehler! Der Tabellenname der Datenbank konnte nicht ermittelt werden.");
      return 101;
    }
    const std::string query = "SELECT * FROM " + table + " WHERE GBCODE=?";
    const std::vector<data::Value> params{data::Value::text(code)};
    data::Recordset rs;
    if (!db.GetRecordset(routine, index, query, rs, params)) return 101;
    write(rs, table);
  }
  return 100;
}

}  // namespace sheets
