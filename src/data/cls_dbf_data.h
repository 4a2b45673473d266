#pragma once
// The survey database: the catalogue of the 28 tables, the sheet-type map, the connection to
// the table folder, the shapefile's attribute table and the umlaut table. Reads the settings,
// writes the log and shows its boxes through the services it was given (the program-wide ones
// by default). One object serves one thread; each worker of a run has its own (forWorker).

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/cls_node.h"
#include "data/connection.h"
#include "data/ordered_dict.h"
#include "data/recordset.h"
#include "data/schema/survey_tables.h"
#include "data/shown_query.h"
#include "data/umlaut_table.h"

namespace app {
struct RunServices;
class clsDebug;
}  // namespace app

namespace data {

class ShapeAttributes;

// A failure after which the run cannot go on (the shapefile's attribute table is unreadable).
// what() is the complete text the front end shows before it ends the program.
class FatalError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class clsDBFData {
 public:
  static constexpr int kTableCount = schema::kTableCount;

  clsDBFData();
  // Works through services (which must outlive the object) instead of the program-wide ones.
  explicit clsDBFData(const app::RunServices& services);
  ~clsDBFData();
  clsDBFData(clsDBFData&&) noexcept;
  clsDBFData& operator=(clsDBFData&&) noexcept;

  // A second access to the same survey for another worker of the run: the folders as this
  // object checked them, the tables read so far (shapefile attributes, umlaut table) and a
  // handle of its own on the same survey connection (Connection::share), so that every table
  // is read once for the whole run. Throws ProviderError as ConnectDBDaten does when this
  // object has no connection yet.
  clsDBFData forWorker(const app::RunServices& services) const;
  // The services this object works through.
  app::RunServices services() const;

  bool ValidFilePaths();
  // Opens the survey connection on the folder ValidFilePaths remembered; throws ProviderError.
  void ConnectDBDaten();
  int16_t CheckUmlauteTab();
  bool GetDBNumber(const std::string& key, int16_t& index) const;
  bool GetTableName(const std::string& key, int16_t which, std::string& name) const;
  // The row of the polygon in the shapefile's attribute table: POLYGONNR (the code as asked),
  // AREA and SATZNR, the record number in the shapefile; no row when the polygon is missing.
  // POLYGONNR is compared as an 11-digit number, so a numeric column matches. The table is
  // read read-only where it lies, once while it stays unchanged; false (logged) when the
  // setting is empty or the table missing. Throws FatalError when the table cannot be read.
  bool GetShapeRecordset(const std::string& polygonNumber, Recordset& recordset);
  // Whether the attribute table GetShapeRecordset read last has a column AREA.
  bool shapeTableHasArea() const;
  // params fill the query's "?" placeholders in order; database texts go there, never into
  // the query text itself.
  bool GetRecordset(int16_t tableIndex, const std::string& query, Recordset& recordset,
                    const std::vector<Value>& params = {});
  // GetRecordset for a generation routine: a failure is logged at level 2 as routine's failed
  // query line (shown_query.h), with the query's values written in.
  bool GetRecordset(const std::string& routine, int16_t tableIndex, const std::string& query,
                    Recordset& recordset, const std::vector<Value>& params = {},
                    const FailedQueryWording& wording = {});
  // The umlaut table read as its own marks say (its rows' forms as a DOS table mistaken for a
  // Windows one delivers them); 101 and the dictionary unchanged when it is missing or has not
  // exactly seven rows (logged).
  int16_t GetUmlauteDic(UmlautDict& dictionary);
  // The umlaut repair for texts read from table (a catalogue name): null for a table whose texts
  // are sound, so that they reach the documents exactly as stored. For a table whose texts are
  // known to be mis-decoded (Connection::misDecodedCodePage) the umlaut table's letters read in
  // that table's code page, each letter mapped to the form in which it arrives from the table;
  // null as well when the umlaut table is unusable (logged once while it stays so).
  std::shared_ptr<const UmlautDict> umlautRepairFor(const std::string& table);
  int16_t GetBogenNumbers(const std::vector<std::string>& sheetTypes, TextSet& sheets,
                          AreaRoots& roots);
  int16_t GetReportBogenNumbers(const std::vector<std::string>& sheetTypes, TextSet& sheets,
                                AreaRoots& roots);

  // A sheet row whose code is Null or not 12 digits: logs it at level 3 (routine names the
  // caller) and keeps its message-file line, once per row text, for the run to report.
  void skipMalformedCode(const std::string& routine, const Value& code, const Value& sheetType);
  // A sheet row whose type (GBBOGEN) is Null or no sheet type: the same, with its own line.
  void skipUnknownType(const std::string& routine, const std::string& code, const Value& sheetType);
  // The message-file lines of every row skipped so far on this database object.
  const std::vector<std::string>& skippedCodes() const { return skippedCodes_; }
  // A remark on the data for the run's message file that costs no document ("Hinweis"), kept
  // once per text.
  void addNote(const std::string& note);
  const std::vector<std::string>& notes() const { return notes_; }
  // The note for a sheet code whose FFH area (its first three digits) is missing from ffhnum.
  void noteAreaMissing(const std::string& code);
  // What reading the survey's tables met: values that could not be read, header counts not
  // trusted (Connection::tableNotes); shared by every worker's object.
  std::vector<TableNote> tableNotes() const { return survey_.tableNotes(); }
  std::vector<TableNote> tableNotesFor(const std::string& code) const {
    return survey_.tableNotesFor(code);
  }
  // The provider's reason for the last query that failed on this object ("" before any).
  const std::string& lastError() const { return lastError_; }

  // Sets the survey folder without the checks of ValidFilePaths, for tools that only read the
  // survey tables (the connection still refuses a folder that does not exist).
  void useSurveyFolder(const std::string& folder) { surveyFolder_ = folder; }
  // The digests of a survey table's rows (Connection::tableDigest); null when the table cannot
  // be read (a document's query on it fails the same way and says so).
  std::shared_ptr<const TableDigest> tableDigest(const std::string& table);
  // The survey tables read so far (lower case; Connection::loadedTables).
  const std::set<std::string>& loadedTables() const { return survey_.loadedTables(); }
  // Rows the survey's queries have read in whole-table scans so far (Connection::fullScanSteps).
  std::uint64_t fullScanSteps() const { return survey_.fullScanSteps(); }
  // Catalogue entry 1..28.
  const std::string& tableName(int index) const;
  const std::string& surveyFolder() const { return surveyFolder_; }

 private:
  int16_t collectBogenNumbers(const std::string& routine, bool byKey,
                              const std::vector<std::string>& sheetTypes, TextSet& sheets,
                              AreaRoots& roots);

  Recordset readUmlautTable();
  app::clsDebug& log() const;

  // Rows of a table read earlier, valid while the file keeps its time and size.
  struct TableCache {
    std::filesystem::path file;
    std::filesystem::file_time_type mtime;
    std::uintmax_t size = 0;
    Recordset rows;
    std::uint64_t seenInRun = 0;  // base::keptRun() when the file was last looked at
  };
  TableCache umlautCache_;
  // Repair dictionaries by code page, for the umlaut table file as it was when they were read.
  struct RepairCache {
    std::filesystem::path file;
    std::filesystem::file_time_type mtime;
    std::uintmax_t size = 0;
    std::map<std::string, std::shared_ptr<const UmlautDict>> byCodePage;
    std::uint64_t seenInRun = 0;
  };
  RepairCache repairCache_;
  struct ShapeCache {
    std::filesystem::path file;
    std::filesystem::file_time_type mtime;
    std::uintmax_t size = 0;
    std::shared_ptr<const ShapeAttributes> attributes;
  };
  ShapeCache shapeCache_;
  Connection survey_;
  std::string surveyFolder_;
  std::string checkedShape_;  // the shapefile of the last complete path check, or ""
  std::array<std::string, kTableCount + 1> catalogue_;
  std::vector<std::pair<std::string, int16_t>> typeMap_;
  std::vector<std::string> skippedCodes_;
  std::vector<std::string> notes_;
  std::string lastError_;
  std::unique_ptr<app::RunServices> services_;  // null: the program-wide objects
};

}  // namespace data
