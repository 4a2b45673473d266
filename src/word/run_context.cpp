#include "word/run_context.h"

namespace word {

RunContext programContext(data::clsDBFData& db) {
  return {app::RunServices::program(), db, g_WordDoc()};
}

}  // namespace word
