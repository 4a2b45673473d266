#include "data/connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/ascii_case.h"
#include "base/file_lookup.h"
#include "data/dbf/dbf_file.h"
#include "data/provider_error.h"
#include "data/stored_order.h"

namespace data {
namespace {

constexpr std::size_t kCachedStatements = 256;

// Columns the system looks rows up by; each gets an index when its table is loaded.
const char* const kKeyColumns[] = {"GBCODE",     "GELBOGENNR", "SATZNUMMER", "GBPOLYGON",
                                   "POLPOLYGON", "CODE",       "CODE_EG",    "FFHNR"};
// Of those, the columns the type filters search with LIKE, which compares without regard to
// case and so needs an index of that collation as well.
const char* const kPatternColumns[] = {"CODE", "CODE_EG"};

// The column that ties a row to its sheet: GBCODE, else GELBOGENNR.
std::optional<std::size_t> keyColumnOf(const std::vector<dbf::FieldDescriptor>& fields) {
  for (const char* name : {"GBCODE", "GELBOGENNR"})
    for (std::size_t i = 0; i < fields.size(); ++i)
      if (base::equalsNoCase(fields[i].name, name)) return i;
  return std::nullopt;
}

struct StatementCloser {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

std::string quoteIdentifier(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

const char* declaredType(char dbfType) {
  switch (dbfType) {
    case 'N':
    case 'F':
    case 'I':
    case 'B':
    case 'Y':
      return "NUMERIC";
    case 'D':
      return "DATE";
    case 'L':
      return "BOOLEAN";
    default:
      return "TEXT";
  }
}

void bindValue(sqlite3_stmt* s, int index, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null:
      sqlite3_bind_null(s, index);
      break;
    case Value::Kind::Text:
      sqlite3_bind_text(s, index, v.asText().data(), static_cast<int>(v.asText().size()),
                        SQLITE_TRANSIENT);
      break;
    case Value::Kind::Integer:
      sqlite3_bind_int64(s, index, v.asInteger());
      break;
    case Value::Kind::Real:
      sqlite3_bind_double(s, index, v.asReal());
      break;
    case Value::Kind::Boolean:
      sqlite3_bind_int(s, index, v.asBoolean() ? 1 : 0);
      break;
    case Value::Kind::Date: {
      char buf[16];
      Date d = v.asDate();
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
      sqlite3_bind_text(s, index, buf, -1, SQLITE_TRANSIENT);
      break;
    }
  }
}

// What a column's declared type makes of the values SQLite stores: flags come back as integers,
// dates as texts.
enum class Declared { kOther, kBoolean, kDate };

// Looked up once per statement: asking per value would cost a look-up and a comparison each.
std::vector<Declared> declaredOf(sqlite3_stmt* s, int columns) {
  std::vector<Declared> out;
  out.reserve(static_cast<std::size_t>(columns));
  for (int i = 0; i < columns; ++i) {
    const char* decl = sqlite3_column_decltype(s, i);
    out.push_back(!decl                                 ? Declared::kOther
                  : base::equalsNoCase(decl, "BOOLEAN") ? Declared::kBoolean
                  : base::equalsNoCase(decl, "DATE")    ? Declared::kDate
                                                        : Declared::kOther);
  }
  return out;
}

Value columnValue(sqlite3_stmt* s, int i, Declared declared) {
  switch (sqlite3_column_type(s, i)) {
    case SQLITE_NULL:
      return Value();
    case SQLITE_INTEGER: {
      sqlite3_int64 n = sqlite3_column_int64(s, i);
      if (declared == Declared::kBoolean) return Value::boolean(n != 0);
      return Value::integer(n);
    }
    case SQLITE_FLOAT:
      return Value::real(sqlite3_column_double(s, i));
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
      std::string str(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(s, i)));
      Date d;
      if (declared == Declared::kDate &&
          std::sscanf(str.c_str(), "%4d-%2d-%2d", &d.year, &d.month, &d.day) == 3)
        return Value::date(d);
      return Value::text(std::move(str));
    }
  }
}

}  // namespace

struct Connection::Db {
  // The handles of a run's workers share one database: each query runs whole under this lock,
  // and a table is loaded once, by the first query that names it.
  std::mutex mutex;
  sqlite3* handle = nullptr;
  std::set<std::string> loaded;                         // lower case
  std::map<std::string, std::vector<TableNote>> notes;  // by lower-case table name
  std::map<std::string, std::vector<TableNote>> notesByKey;
  // Tables (lower case) whose texts are not in the code page they were read in, with that page.
  std::map<std::string, std::string> misDecoded;
  std::map<std::string, std::shared_ptr<const TableDigest>> digests;  // by lower-case name
  // Statements by their text: a run asks the same few queries for every sheet, and parsing
  // them would be half of the time spent in SQLite. Finalised before the handle is closed.
  std::unordered_map<std::string, Statement> statements;
  ~Db() {
    statements.clear();
    sqlite3_close(handle);
  }
};

Connection::Connection() = default;
Connection::~Connection() = default;
Connection::Connection(Connection&&) noexcept = default;
Connection& Connection::operator=(Connection&&) noexcept = default;

void Connection::open(const std::filesystem::path& folder) {
  close();
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec))
    throw ProviderError(
        kErrInvalidPath,
        "'" + folder.string() +
            "' ist kein zulässiger Pfad. Stellen Sie sicher, "
            "dass der Pfad richtig eingegeben wurde und dass Sie mit dem Server, auf "
            "dem sich die Datei befindet, verbunden sind.");
  auto db = std::make_unique<Db>();
  // Every use of the handle runs under Db::mutex, so SQLite's own lock around each call (two
  // million of them in a run over a thousand polygons) is left out.
  if (sqlite3_open_v2(":memory:", &db->handle,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK)
    throw ProviderError(kErrNotOpen, "Die Datenbank im Speicher konnte nicht angelegt werden.");
  db_ = std::move(db);
  folder_ = folder;
}

void Connection::close() {
  db_.reset();
  folder_.clear();
}

Connection Connection::share() const {
  Connection other;
  other.db_ = db_;
  other.folder_ = folder_;
  return other;
}

const std::set<std::string>& Connection::loadedTables() const {
  static const std::set<std::string> none;
  return db_ ? db_->loaded : none;
}

bool Connection::isOpen() const {
  return db_ != nullptr;
}

void Connection::loadTable(const std::string& name) {
  std::filesystem::path file = base::findFileNoCase(folder_, name + ".dbf");
  if (file.empty())
    throw ProviderError(kErrNoSuchTable, "Die Tabelle '" + name + "' wurde im Ordner '" +
                                             folder_.string() + "' nicht gefunden.");
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (db_->loaded.count(lower))
    throw ProviderError(kErrNoSuchTable, "Die Tabelle '" + name + "' konnte nicht geladen werden.");

  std::vector<TableNote> notes;
  std::shared_ptr<TableDigest> digest;
  try {
    dbf::DbfReader table = dbf::DbfReader::open(file);
    const auto& fields = table.fields();
    if (fields.empty()) throw dbf::DbfError(file.string() + ": die Tabelle hat keine Felder");

    std::string create = "CREATE TABLE " + quoteIdentifier(name) + " (";
    std::string insert = "INSERT INTO " + quoteIdentifier(name) + " VALUES (";
    for (std::size_t i = 0; i < fields.size(); ++i) {
      create +=
          (i ? ", " : "") + quoteIdentifier(fields[i].name) + " " + declaredType(fields[i].type);
      insert += i ? ", ?" : "?";
    }
    create += ")";
    insert += ")";

    char* err = nullptr;
    auto exec = [&](const std::string& sql) {
      if (sqlite3_exec(db_->handle, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "unbekannter Fehler";
        sqlite3_free(err);
        throw ProviderError(kErrDamagedTable,
                            "Die Tabelle '" + name + "' konnte nicht geladen werden: " + msg);
      }
    };
    exec(create);
    exec("BEGIN");
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_->handle, insert.c_str(), -1, &raw, nullptr) != SQLITE_OK)
      throw ProviderError(kErrDamagedTable,
                          "Die Tabelle '" + name + "' konnte nicht geladen werden.");
    Statement stmt(raw);
    const std::string shown = file.filename().string();
    if (!table.headerNote().empty())
      notes.push_back({shown, 0, {}, "Tabelle " + shown + ": " + table.headerNote()});
    const auto keyColumn = keyColumnOf(fields);
    // A row's digest is taken from its stored bytes; a memo field's bytes only point into the
    // memo file, so its text goes in as well.
    std::vector<std::string> names;
    std::vector<std::size_t> memos;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      names.push_back(fields[i].name);
      if (std::string_view("MGPB").find(fields[i].type) != std::string_view::npos)
        memos.push_back(i);
    }
    digest = std::make_shared<TableDigest>(names);
    std::string rowBytes;
    std::vector<dbf::BadValue> bad;
    for (uint32_t r = 0; r < table.recordCount(); ++r) {
      if (table.isDeleted(r)) continue;
      std::vector<Value> row = table.record(r, bad);
      if (memos.empty()) {
        digest->addRow(table.rawRecord(r), row);
      } else {
        rowBytes = table.rawRecord(r);
        for (std::size_t m : memos) {
          const std::string memo = row[m].isNull() ? std::string() : row[m].toText();
          rowBytes += '\0' + std::to_string(memo.size()) + ':' + memo;
        }
        digest->addRow(rowBytes, row);
      }
      // A value that cannot be read costs only its own field: the row is kept with Null there.
      for (const auto& b : bad)
        notes.push_back({shown, b.record, keyColumn ? row[*keyColumn].toText() : std::string(),
                         "Tabelle " + shown + ", Datensatz " + std::to_string(b.record) +
                             ", Feld " + b.field + ": " + b.reason});
      bad.clear();
      for (std::size_t i = 0; i < row.size(); ++i)
        bindValue(stmt.get(), static_cast<int>(i) + 1, row[i]);
      if (sqlite3_step(stmt.get()) != SQLITE_DONE)
        throw ProviderError(kErrDamagedTable,
                            "Die Tabelle '" + name + "' konnte nicht geladen werden.");
      sqlite3_reset(stmt.get());
    }
    stmt.reset();
    exec("COMMIT");
    if (table.textsMisDecoded()) db_->misDecoded[lower] = table.codePage();
    std::string layout(table.rawDescriptors());
    layout += "\ncode page " + table.codePage() + (table.textsMisDecoded() ? ", repaired" : "");
    digest->finish(layout);
    auto named = [&](const auto& columns, const std::string& column) {
      return std::any_of(std::begin(columns), std::end(columns),
                         [&](const char* c) { return base::equalsNoCase(column, c); });
    };
    for (const auto& f : fields) {
      if (!named(kKeyColumns, f.name)) continue;
      exec("CREATE INDEX " + quoteIdentifier(lower + "_" + f.name) + " ON " +
           quoteIdentifier(name) + "(" + quoteIdentifier(f.name) + ")");
      if (named(kPatternColumns, f.name))
        exec("CREATE INDEX " + quoteIdentifier(lower + "_" + f.name + "_nocase") + " ON " +
             quoteIdentifier(name) + "(" + quoteIdentifier(f.name) + " COLLATE NOCASE)");
    }
  } catch (const dbf::DbfError& e) {
    dropHalfLoaded(name);
    throw ProviderError(kErrDamagedTable,
                        std::string("Die Tabelle '") + name + "' ist beschädigt: " + e.what());
  } catch (const ProviderError&) {
    dropHalfLoaded(name);
    throw;
  }
  db_->loaded.insert(lower);
  db_->digests[lower] = std::move(digest);
  for (const auto& note : notes)
    if (!note.key.empty()) db_->notesByKey[note.key].push_back(note);
  if (!notes.empty()) db_->notes[lower] = std::move(notes);
}

std::vector<TableNote> Connection::tableNotesFor(const std::string& key) const {
  if (!db_) return {};
  std::lock_guard lock(db_->mutex);
  const auto it = db_->notesByKey.find(key);
  if (it == db_->notesByKey.end()) return {};
  std::vector<TableNote> out = it->second;
  // Tables load in the order queries first name them; their notes go by table name.
  std::stable_sort(out.begin(), out.end(),
                   [](const TableNote& a, const TableNote& b) { return a.table < b.table; });
  return out;
}

// A table whose loading failed leaves no open transaction and no half of its rows behind.
void Connection::dropHalfLoaded(const std::string& name) {
  sqlite3_exec(db_->handle, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_exec(db_->handle, ("DROP TABLE IF EXISTS " + quoteIdentifier(name)).c_str(), nullptr,
               nullptr, nullptr);
}

std::vector<TableNote> Connection::tableNotes() const {
  std::vector<TableNote> out;
  if (!db_) return out;
  std::lock_guard lock(db_->mutex);
  for (const auto& [table, notes] : db_->notes) out.insert(out.end(), notes.begin(), notes.end());
  return out;
}

std::optional<std::string> Connection::misDecodedCodePage(const std::string& table) {
  if (!db_) throw ProviderError(kErrNotOpen, "Die Verbindung ist nicht geöffnet.");
  std::string lower;
  for (char c : table) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::lock_guard lock(db_->mutex);
  if (!db_->loaded.count(lower)) loadTable(table);
  const auto found = db_->misDecoded.find(lower);
  if (found == db_->misDecoded.end()) return std::nullopt;
  return found->second;
}

std::shared_ptr<const TableDigest> Connection::tableDigest(const std::string& table) {
  if (!db_) throw ProviderError(kErrNotOpen, "Die Verbindung ist nicht geöffnet.");
  std::string lower;
  for (char c : table) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::lock_guard lock(db_->mutex);
  if (!db_->loaded.count(lower)) loadTable(table);
  return db_->digests.at(lower);
}

sqlite3_stmt* Connection::prepared(const std::string& sql) {
  if (auto found = db_->statements.find(sql); found != db_->statements.end())
    return found->second.get();
  const std::string ordered = inStoredOrder(sql);
  sqlite3_stmt* raw = nullptr;
  // Load the tables the query names, one by one, as SQLite reports them missing.
  for (int attempt = 0;; ++attempt) {
    if (sqlite3_prepare_v2(db_->handle, ordered.c_str(), -1, &raw, nullptr) == SQLITE_OK) break;
    std::string msg = sqlite3_errmsg(db_->handle);
    const std::string prefix = "no such table: ";
    if (msg.rfind(prefix, 0) == 0 && attempt < 64) {
      std::string table = msg.substr(prefix.size());
      if (auto dot = table.find('.'); dot != std::string::npos && table.rfind("main.", 0) == 0)
        table = table.substr(dot + 1);
      loadTable(table);
      continue;
    }
    throw ProviderError(kErrSyntax,
                        "Die Abfrage (" + sql + ") konnte nicht ausgeführt werden: " + msg);
  }
  if (!raw) return nullptr;
  // The texts a run builds are few; a caller that builds many different ones must not make
  // the cache grow without end.
  if (db_->statements.size() >= kCachedStatements) db_->statements.clear();
  return db_->statements.emplace(sql, Statement(raw)).first->second.get();
}

Recordset Connection::execute(const std::string& sql, const std::vector<Value>& params) {
  if (!db_) throw ProviderError(kErrNotOpen, "Die Verbindung ist nicht geöffnet.");
  std::lock_guard lock(db_->mutex);
  sqlite3_stmt* stmt = prepared(sql);
  if (!stmt) return Recordset();  // an empty text
  // A cached statement goes back to its start and forgets its values whatever happens below.
  struct Rewind {
    sqlite3_stmt* s;
    ~Rewind() {
      sqlite3_reset(s);
      sqlite3_clear_bindings(s);
    }
  } rewind{stmt};
  if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(stmt))
    throw ProviderError(kErrSyntax, "Die Abfrage (" + sql + ") erwartet " +
                                        std::to_string(sqlite3_bind_parameter_count(stmt)) +
                                        " Werte, erhalten hat sie " +
                                        std::to_string(params.size()) + ".");
  for (std::size_t i = 0; i < params.size(); ++i)
    bindValue(stmt, static_cast<int>(i) + 1, params[i]);
  int columns = sqlite3_column_count(stmt);
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(columns));
  for (int i = 0; i < columns; ++i) names.emplace_back(sqlite3_column_name(stmt, i));
  const auto declared = declaredOf(stmt, columns);
  std::vector<std::vector<Value>> rows;
  for (;;) {
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW)
      throw ProviderError(kErrSyntax, "Die Abfrage (" + sql + ") konnte nicht ausgeführt werden: " +
                                          sqlite3_errmsg(db_->handle));
    std::vector<Value> row;
    row.reserve(static_cast<std::size_t>(columns));
    for (int i = 0; i < columns; ++i)
      row.push_back(columnValue(stmt, i, declared[static_cast<std::size_t>(i)]));
    rows.push_back(std::move(row));
  }
  // A query that reads a whole table, or builds a passing index for a join, costs as much as
  // the table is long; counted so that a run can show it asks only through indexes. The
  // counters are read and reset, as the statement is kept for the next call.
  fullScanSteps_ +=
      static_cast<std::uint64_t>(sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_FULLSCAN_STEP, 1) +
                                 sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_AUTOINDEX, 1));
  return Recordset(std::move(names), std::move(rows));
}

}  // namespace data
