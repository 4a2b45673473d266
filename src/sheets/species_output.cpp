#include "data/shown_query.h"
#include "data/species_lists.h"
#include "sheets/mod_ffh_bogen.h"
#include "word/cls_word_doc.h"
#include "word/run_context.h"

namespace sheets {

int16_t OutputPflanzenartenRoteListe(const word::RunContext& run, const std::string& sheetCode,
                                     const data::UmlautDict* umlauts) {
  const std::string query = data::speciesQuery();
  const std::vector<data::Value> params{data::Value::text(sheetCode)};
  data::Recordset rows;
  if (!run.db.GetRecordset(0, query, rows, params)) {
    run.log.Ausgabe(2, "OutputPflanzenartenRoteListe: Fehler! Die SQL-Anfrage (" +
                           data::shownQuery(query, params) +
                           ") auf die Tabelle mit dem Index 1 schlug fehlt.");
    return 101;
  }
  const data::SpeciesLists lists = data::buildSpeciesLists(rows);
  word::clsWordDoc& doc = run.doc;
  auto write = [&](const std::string& bookmark, std::string text) {
    word::clsWordDoc::CorrectUmlaute(umlauts, text);
    if (doc.SetTextMarke(bookmark, text, "11", false) != 100)
      run.log.Ausgabe(3, "FfhBogenGenerateFooter: Fehler! Die Textmarke " + bookmark +
                             " konnte nicht gesetzt werden.");
  };
  const char* bookmarks[] = {"BAUMARTEN", "PFLANZEN", "FLECHTEN", "MOOSE"};
  for (int group = 1; group <= 4; ++group)
    write(bookmarks[group - 1], data::listText(lists.group(group)));
  write("ROTELISTE", data::redListText(lists.redList));
  return 100;
}

}  // namespace sheets
