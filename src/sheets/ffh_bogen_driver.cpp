#include "app/program_objects.h"
#include "sheets/mod_ffh_bogen.h"
#include "word/cls_word_doc.h"

namespace sheets {

int16_t FfhBogenGenerateBoegen(const std::string& key, data::clsDBFData& db,
                               std::vector<std::string>& messages) {
  app::clsDebug& log = app::g_Debug();
  word::clsWordDoc& doc = word::g_WordDoc();
  if (!db.ValidFilePaths()) {
    log.Ausgabe(2,
                "FfhBogenGenerateBoegen: Fehler! Die Verbindung zur Datenbank konnte nicht "
                "hergestellt werden.");
    return 101;
  }
  app::ui().processEvents();
  if (doc.CreateWordApplication() != 100) {
    log.Ausgabe(2, "Fehler! Konnte keine Verbindung zur Word-Applikation herstellen.");
    return 101;
  }
  if (doc.OpenWordDokument(key, word::programFolder(), messages, 12, false, "") == 100) {
    if (FfhBogenGenerateHead(key, db) != 100) {
      log.Ausgabe(2, "FfhBogenGenerateBoegen: Fehler! Der Kopfbereich für " + key +
                         " konnte nicht erstellt werden.");
    } else {
      app::ui().processEvents();
      if (FfhBogenGenerateBogen(key, db) != 100) {
        log.Ausgabe(2, "FfhBogenGenerateBoegen: Fehler! Der Bogenbereich für " + key +
                           " konnte nicht erstellt werden.");
      } else {
        app::ui().processEvents();
        if (FfhBogenGenerateFooter(key, db) != 100)
          log.Ausgabe(2, "FfhBogenGenerateBoegen: Fehler! Der Fußbereich für " + key +
                             " konnte nicht erstellt werden.");
      }
    }
    doc.CloseWordDokument();
    log.Ausgabe(3, "FfhBogenGenerateBoegen: Datei " + key + " generiert.");
  }
  doc.DeleteWordApplication();
  return 100;
}

}  // namespace sheets
