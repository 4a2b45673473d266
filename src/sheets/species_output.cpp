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
  // The line has always named index 1.
  if (!run.db.GetRecordset("OutputPflanzenartenRoteListe", 0, query, rows, params,
                           {"mit dem Index 1", false})) {
    // The footers go on without the lists, but the document lacks them.
    run.doc.noteUnfilled("die Pflanzenarten konnten nicht gelesen werden: " + run.db.lastError());
    return 101;
  }
  const data::SpeciesLists lists = data::buildSpeciesLists(rows);
  word::clsWordDoc& doc = run.doc;
  auto write = [&](const std::string& bookmark, std::string text) {
    word::clsWordDoc::CorrectUmlaute(umlauts, text);
    doc.writeMark("FfhBogenGenerateFooter", bookmark, text, "11", false);
  };
  const char* bookmarks[] = {"BAUMARTEN", "PFLANZEN", "FLECHTEN", "MOOSE"};
  for (int group = 1; group <= 4; ++group)
    write(bookmarks[group - 1], data::listText(lists.group(group)));
  write("ROTELISTE", data::redListText(lists.redList));
  return 100;
}

}  // namespace sheets
