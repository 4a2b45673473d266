#pragma once
// One clean-copy run without a window: the restrictions the output window collects, the
// selection query, and the per-sheet loop with progress, cancel and the message file.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/message_file.h"
#include "data/cls_dbf_data.h"
#include "data/ordered_dict.h"
#include "word/document_outcome.h"
#include "word/result.h"
#include "word/run_context.h"

namespace sheets {

// What the output window's lists and boxes say. An "all" flag switches its set off.
struct Restrictions {
  data::TextSet biotopeTypes;
  bool allBiotopeTypes = true;
  data::TextSet habitatTypes;
  bool allHabitatTypes = true;
  data::TextSet sheetTypes;  // the sheet types to produce
  data::TextSet sheetCodes;  // 12-digit codes from the area lists
  bool allAreas = true;
  bool skipCopies = false;
};

// The sheets the restrictions leave, as the selection dialog lists them.
struct Selection {
  int16_t status = 101;  // 101: the query failed
  data::TextSet keys;    // sheet keys (code followed by type)
};

Selection selectSheets(data::clsDBFData& db, const Restrictions& restrictions);
// "Es wurden N Geländebögen ausgewählt." ("Es wurde 1 Geländebogen ausgewählt.") and the keys
// as code_type, as the dialog shows them.
std::string selectionHeadline(const Selection& selection);
std::string selectionEntry(const std::string& key);

struct RunSummary;

struct RunCallbacks {
  // Called before each sheet is made, on the calling thread: position (1-based), count, key.
  std::function<void(std::size_t, std::size_t, const std::string&)> progress;
  // Makes the cover sheet before a sheet when asked. Arguments: polygon code, the polygon's
  // sheet types, the context of the worker, messages, the sheet's type (its folder). Called on
  // the worker's thread.
  std::function<word::Result(const std::string&, const std::string&, const word::RunContext&,
                             std::vector<std::string>&, const std::string&)>
      coverSheet;
  // Called when the loop has ended, before the message file is written and its box shown, so
  // that a window can leave run mode first.
  std::function<void(const RunSummary&)> finished;
};

struct RunSummary {
  std::size_t selected = 0;
  std::size_t produced = 0;   // complete documents written in this run
  std::size_t unchanged = 0;  // sheets left as they were (only what changed was made)
  std::vector<word::DocumentOutcome> incomplete;  // written, but a part could not be filled
  std::vector<std::string> failed;  // keys (or cover sheets) whose document was not made
  std::size_t skippedCopies = 0;
  std::size_t skippedUntyped = 0;
  bool cancelled = false;
  // Another run works in the output folder: this one made nothing and counts as cancelled.
  std::string refused;
  std::vector<std::string> messages;  // what went into the message file and sets the exit status
  std::vector<std::string> notes;     // remarks on the data that cost no document ("Hinweis")
  // Only what changed was to be made, but the output folder's list of documents was missing or
  // damaged: everything was made, and this says so (RunManifest::notice).
  std::string changedNotice;
  app::MessageFileOutcome messageFile;
};

// "N von M Geländebögen erstellt" with ", K unvollständig" when K documents lack a part and
// ", U unverändert" when U sheets were left as they were.
std::string summaryLine(const RunSummary& summary);

// Runs the loop over keys on up to jobs workers (0: one per core; see RunWorkers), holding the
// lock on the output folder (app::OutputFolderLock; refused at once when another run holds it,
// with an error box after callbacks.finished). cancel (set
// by the front end, even from a signal handler) is tested once per sheet; the sheets in work
// are always finished. The summary and the message file list the documents in the order of
// the keys, however many workers made them. Writes or removes the message file at the end.
// Keeps the output folder's list of documents (RunManifest); with changedOnly a sheet (and its
// cover sheet) whose inputs and file are as the last run left them is not made again.
RunSummary runCleanCopies(const word::RunContext& run, const data::TextSet& keys, bool skipCopies,
                          bool withCoverSheet, const std::atomic<bool>& cancel,
                          const RunCallbacks& callbacks = {}, unsigned jobs = 1,
                          bool changedOnly = false);

// What the survey's data told a run on the side, as the database objects collected it: the rows
// skipped for their codes or types (messages) and the notes. Those the selection met come
// first, then those each unit met, in the order of the units, each line once, whichever worker's
// database met them; then the notes of the tables read (values they could not read, header
// counts) that belong to no document of the run.
class DataLines {
 public:
  DataLines(const data::clsDBFData& selection, std::size_t units);
  // Runs one unit's work on db and keeps the lines db added meanwhile; answers what work answers.
  bool track(std::size_t unit, const data::clsDBFData& db, const std::function<bool()>& work);
  // Puts the skipped rows' lines before messages and the notes behind notes. db is any of the
  // run's database objects (they share the tables read).
  void addTo(std::vector<std::string>& messages, std::vector<std::string>& notes,
             const data::clsDBFData& db) const;

 private:
  struct Lines {
    std::vector<std::string> skipped, notes;
  };
  Lines selection_;
  std::vector<Lines> units_;
};

}  // namespace sheets
