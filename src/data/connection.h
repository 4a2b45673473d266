#pragma once
// A connection on a folder of dBASE tables: every .dbf file is a table named by its base name
// (matched without regard to case). Tables are read into an in-memory SQLite database the first
// time a query names them; queries are the system's SQL texts. Failures throw ProviderError.
// The workers of a run each hold a handle on one database (share): a table is read once, and
// each query runs whole under the database's lock. One handle serves one thread.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "data/recordset.h"
#include "data/table_digest.h"

struct sqlite3;
struct sqlite3_stmt;

namespace data {

// What reading a table met that its user should know: a value it could not read (the row holds
// Null there) or a header count it did not trust.
struct TableNote {
  std::string table;    // the file's name as found, e.g. "GBogen.dbf"
  uint32_t record = 0;  // 1-based; 0 for a note on the whole table
  // The row's sheet code (its GBCODE, or GELBOGENNR where the table has no GBCODE); "" when the
  // table has neither or for a note on the whole table.
  std::string key;
  std::string text;  // German: "Tabelle GBogen.dbf, Datensatz 17, Feld GBDATUM: \"20241301\" ..."
};

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(Connection&&) noexcept;
  Connection& operator=(Connection&&) noexcept;

  // Opens on folder; a folder that does not exist throws (kErrInvalidPath).
  void open(const std::filesystem::path& folder);
  void close();
  bool isOpen() const;
  // Another handle on the same open database, for another thread: it sees every table loaded
  // through either handle. The database closes with its last handle.
  Connection share() const;
  const std::filesystem::path& folder() const { return folder_; }

  // Runs one query (a trailing ";" is allowed) and returns all of its rows in the order SQLite
  // delivers them, which for a single table without an index condition is the stored order.
  // Each "?" in sql takes the next of params, bound as a value and never read as SQL text.
  Recordset execute(const std::string& sql, const std::vector<Value>& params = {});

  // The code page table's texts were read in when some of them are known not to be in it
  // (dbf::DbfReader::textsMisDecoded); nullopt when its texts are sound. Loads the table when no
  // query has named it yet, and throws ProviderError as a query on it would.
  std::optional<std::string> misDecodedCodePage(const std::string& table);

  // The digests of table's rows (TableDigest), made while it is read; loads the table when no
  // query has named it yet and throws ProviderError as a query on it would.
  std::shared_ptr<const TableDigest> tableDigest(const std::string& table);

  // Names of the tables loaded so far (lower case); for diagnostics and tests, not while other
  // handles run queries.
  const std::set<std::string>& loadedTables() const;
  // Rows stepped through in whole-table scans (and passing indexes built) by the queries run so
  // far; a query served by an index adds nothing.
  std::uint64_t fullScanSteps() const { return fullScanSteps_; }
  // The notes of the tables loaded so far, by table name (so the same for every order of
  // loading), each table's in record order. Safe while other handles run queries.
  std::vector<TableNote> tableNotes() const;
  // The notes on the rows of one sheet code (TableNote::key), in the same order.
  std::vector<TableNote> tableNotesFor(const std::string& key) const;

 private:
  void loadTable(const std::string& name);
  void dropHalfLoaded(const std::string& name);
  // The statement for sql, prepared once and kept; nullptr for a text without a statement.
  sqlite3_stmt* prepared(const std::string& sql);

  struct Db;
  std::shared_ptr<Db> db_;
  std::filesystem::path folder_;
  std::uint64_t fullScanSteps_ = 0;
};

}  // namespace data
