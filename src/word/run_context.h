#pragma once
// What one worker of a generation run works through: the run's settings, log and user interface
// (shared by its workers) and the worker's own database access and document engine. The
// generation routines take everything from here; nothing is owned.

#include "app/run_services.h"
#include "data/cls_dbf_data.h"
#include "word/cls_word_doc.h"

namespace word {

struct RunContext : app::RunServices {
  data::clsDBFData& db;
  clsWordDoc& doc;
};

// The program-wide settings, log, user interface and document engine with the database db: the
// context of a run on the program's objects (the windows' default, and the tests').
RunContext programContext(data::clsDBFData& db);

}  // namespace word
