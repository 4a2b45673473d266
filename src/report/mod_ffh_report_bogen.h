#pragma once
// Data reports: per polygon a cover sheet with the polygon map, its area and its survey units,
// then one report document per survey sheet of the polygon. The routines work through the run
// context they are handed and answer 100 (done) or 101 (the part could not be made); the
// document gateways generateCoverSheet and generateReport answer a word::Result. A failure inside
// one document is logged and never stops the caller's run.
//
// Errors: FfhReportGenerateDeckblatt and ffhReportSetPolygon catch unexpected errors
// themselves. The report document routines (FfhReportGenerateBoegen and its head, body and
// footer) let them through to the run, which logs them and ends (report_run.h).
// data::FatalError (the shapefile's attribute table cannot be read) always passes through: the
// program cannot go on; the cover sheet closes and stores its document before passing it on.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/cls_dbf_data.h"
#include "word/result.h"
#include "word/run_context.h"

namespace report {

// The sheet keys (GBCODE followed by GBBOGEN) of a polygon in query order; 101 with an empty
// list when the query failed.
int16_t FfhReportGetBogen(const std::string& polygonCode, data::clsDBFData& db,
                          std::vector<std::string>& sheets);

// One report document for a sheet key, stored as <out>/Report/<key>.docx (the document cycle of
// sheets/document_cycle.h). FfhReportGenerateBoegen answers its legacy(): 100 whenever the
// document engine could be started, also when opening or filling failed (logged).
word::Result generateReport(const std::string& key, const word::RunContext& run,
                            std::vector<std::string>& messages);
int16_t FfhReportGenerateBoegen(const std::string& key, const word::RunContext& run,
                                std::vector<std::string>& messages);
int16_t FfhReportGenerateHead(const std::string& key, const word::RunContext& run);
int16_t FfhReportGenerateBogen(const std::string& key, const word::RunContext& run);
int16_t FfhReportGenerateFooter(const std::string& key, const word::RunContext& run);

// The cover sheet of a polygon, stored as <out>/Report/<code>Deckblatt.docx, or in
// <out>/<folderName>/ when useOwnFolder is set. sheetTypes: the polygon's types joined by ","
// (never empty). kOk when the sheet was stored with its map, area and survey units; kIncomplete
// when it lacks one of them (stored with what was filled; the engine's outcome names the missing
// parts); kNotWritten when the engine refused or could not save it; kFailed when the engine
// could not start or an unexpected error stopped it. FfhReportGenerateDeckblatt answers its
// legacy().
word::Result generateCoverSheet(const std::string& polygonCode, const std::string& sheetTypes,
                                const word::RunContext& run, std::vector<std::string>& messages,
                                bool useOwnFolder, const std::string& folderName);
int16_t FfhReportGenerateDeckblatt(const std::string& polygonCode, const std::string& sheetTypes,
                                   const word::RunContext& run, std::vector<std::string>& messages,
                                   bool useOwnFolder, const std::string& folderName);
// Finds the polygon in the shapefile's attribute table, draws its map and writes HA. On 101,
// cause (when given) says in German what is missing, e.g. "Polygon 12300100009 fehlt in der
// Attributtabelle /gis/ffh.dbf".
int16_t FfhReportPolygon(const std::string& polygonCode, const word::RunContext& run,
                         std::string* cause = nullptr);
// Draws the map of shapefile record recordNumber (1-based) and its neighbours in metres (the
// shapefile's coordinate system projected as its ".prj" says): the neighbours first, then every
// outer ring of the surveyed polygon marked grey, its holes and the islands in them. cause as
// above; area (when given) receives the polygon's area in square metres from its geometry.
int16_t ffhReportSetPolygon(int32_t recordNumber, const word::RunContext& run,
                            std::string* cause = nullptr, double* area = nullptr);
// Writes GBCODE and one survey-unit block per sheet of the given types into the cover sheet.
int16_t FfhReportErfassungseinheiten(const std::string& polygonCode, const std::string& sheetTypes,
                                     const word::RunContext& run);

// The cover sheet as the clean-copy run asks for it (sheets::RunCallbacks::coverSheet):
// arguments polygon code, sheet types, the worker's context, messages, folder (the sheet's type).
using CoverSheetFunction =
    std::function<word::Result(const std::string&, const std::string&, const word::RunContext&,
                               std::vector<std::string>&, const std::string&)>;
CoverSheetFunction coverSheetInFolder();

}  // namespace report
