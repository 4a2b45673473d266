#pragma once
// One data-report run without a window: the polygon codes the area lists stand for, and the
// per-polygon loop (sheet types, cancel, progress, copy test, cover sheet, one report per
// sheet) with the message file at the end.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/message_file.h"
#include "data/cls_dbf_data.h"
#include "report/polygon_dossier.h"
#include "word/document_outcome.h"
#include "word/run_context.h"

namespace report {

// Values as the report window's three lists show them; an empty list stands for every row.
struct PolygonChoice {
  std::vector<std::string> areas;     // e.g. "123"
  std::vector<std::string> subAreas;  // e.g. "001"
  std::vector<std::string> polygons;  // 5-digit polygon numbers, parts folded, e.g. "00001"
};

struct PolygonSelection {
  int16_t status = 101;  // 101: the sheet numbers could not be read (logged and shown)
  // 11-character polygon codes, area × sub-area × polygon in list order, each code once.
  std::vector<std::string> codes;
  // Chosen values that match no row of their list (the run should not start with them).
  std::vector<std::string> unknownAreas, unknownSubAreas, unknownPolygons;
};

// Reads the sheet numbers of all sheet types, fills the lists and selects the chosen rows.
PolygonSelection selectPolygons(data::clsDBFData& db, const PolygonChoice& choice);

struct ReportSummary;

struct ReportCallbacks {
  // Called once per polygon that has typed sheets and is not cancelled, on the calling thread:
  // position (1-based in the list of codes), number of codes, polygon code.
  std::function<void(std::size_t, std::size_t, const std::string&)> progress;
  // Called when the loop has ended, before the message file is written and its box shown, so
  // that a window can leave run mode first (not after an unexpected error).
  std::function<void(const ReportSummary&)> finished;
  // When set, each polygon whose documents were tried gets its PDF-Mappe
  // "Report/<code>Dossier.pdf" from the documents written, cover sheet first, written by the
  // worker that made them (called on its thread).
  DossierHook dossier;
};

struct ReportSummary {
  std::size_t selected = 0;     // polygon codes handed in
  std::size_t polygons = 0;     // polygons reported (cover sheet and sheets tried)
  std::size_t coverSheets = 0;  // complete cover sheets written in this run
  std::size_t reports = 0;      // complete report documents written in this run
  std::size_t dossiers = 0;     // PDF-Mappen written (with callbacks.dossier)
  std::size_t unchanged = 0;    // cover sheets and reports left as they were
  std::vector<word::DocumentOutcome> incomplete;  // written, but a part could not be filled
  std::vector<std::string> failedCoverSheets;     // polygon codes
  std::vector<std::string> failed;                // sheet keys whose report was not written
  std::size_t skippedCopies = 0;                  // polygons skipped for a copy sheet
  std::size_t skippedUntyped = 0;                 // codes without typed sheets
  bool cancelled = false;
  // Another run works in the output folder: this one made nothing and counts as cancelled.
  std::string refused;
  // An unexpected error ended the run (logged as cmdGenerate_Click); no message file then.
  bool aborted = false;
  std::string error;                  // the error's cause in German, for the user
  std::vector<std::string> messages;  // what went into the message file and sets the exit status
  std::vector<std::string> notes;     // remarks on the data that cost no document ("Hinweis")
  std::string changedNotice;          // as sheets::RunSummary::changedNotice
  app::MessageFileOutcome messageFile;
};

// "X Deckblätter und Y Datenreports für Z Polygone erstellt" with ", K unvollständig" when K
// documents lack a part and ", U unverändert" when U documents were left as they were.
std::string summaryLine(const ReportSummary& summary);

// Runs the polygons in order on up to jobs workers (0: one per core; see sheets::RunWorkers),
// each polygon whole on one worker, holding the lock on the output folder as
// sheets::runCleanCopies does. cancel (set by the front end, even from a signal handler)
// is tested once per polygon with typed sheets, before its cover sheet; the polygons in work
// are always finished. skipCopies leaves out a polygon with any copy of a collective or complex
// sheet. The summary and the message file list the documents in the order of the polygons.
// Writes or removes the message file at the end. An unexpected error is logged, the worker's
// document engine is ended, no further polygon is started and the summary says aborted.
// data::FatalError passes through once the other workers have finished their polygons.
// Keeps the output folder's list of documents as sheets::runCleanCopies does; with changedOnly
// a cover sheet, report or PDF-Mappe whose inputs and file are as the last run left them is not
// made again, and a polygon all of whose documents stay is not counted among those reported.
ReportSummary runReports(const word::RunContext& run, const std::vector<std::string>& polygonCodes,
                         bool skipCopies, const std::atomic<bool>& cancel,
                         const ReportCallbacks& callbacks = {}, unsigned jobs = 1,
                         bool changedOnly = false);

}  // namespace report
