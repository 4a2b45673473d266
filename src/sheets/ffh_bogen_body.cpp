#include "sheets/document_cycle.h"
#include "sheets/mod_ffh_bogen.h"
#include "word/cls_word_doc.h"
#include "word/run_context.h"

namespace sheets {

int16_t FfhBogenGenerateBogen(const std::string& key, const word::RunContext& run) {
  app::clsDebug& log = run.log;
  const int16_t result = forEachTypeTable(
      "FfhBogenGenerateBogen", key, run, [&](data::Recordset& rs, const std::string& table) {
        const auto dict = run.db.umlautRepairFor(table);
        for (; !rs.isEOF(); rs.MoveNext()) {
          for (int n = 1; n < rs.fieldCount(); ++n) {
            const data::Value& v = rs.value(n);
            if (v.isNull()) continue;
            std::string text = v.toText();
            if (text.empty()) continue;
            if (v.kind() == data::Value::Kind::Text)
              word::clsWordDoc::CorrectUmlaute(dict.get(), text);
            run.doc.writeMark("FfhBogenGenerateBogen", rs.fieldName(n), text, "11", true);
          }
        }
      });
  if (result != 100) return result;
  log.Ausgabe(1, "FfhBogenGenerateBogen: OK");
  return 100;
}

}  // namespace sheets
