#pragma once
// Reading and writing dBASE tables (.dbf with .dbt/.fpt memo files).
// The reader validates the whole header before it allocates anything and throws DbfError,
// whose message names the file (and the record or field where it applies), on any damage.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/value.h"

namespace data::dbf {

class DbfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FieldDescriptor {
  std::string name;  // as stored, at most 10 characters
  char type = 'C';   // C, N, F, D, L, M, and on reading also I, B, Y, T, G, P ...
  uint8_t length = 0;
  uint8_t decimals = 0;
};

// A field value the reader could not read (a date that is no date, a number with letters, a
// memo pointer past the memo file): the lenient record() holds Null in its place.
struct BadValue {
  uint32_t record = 0;  // 1-based, as dBASE tools count
  std::string field;
  std::string stored;  // what the field holds, decoded for display
  std::string reason;  // German, e.g. "\"20241301\" ist kein gültiges Datum"
};

// How much damage open() accepts. The default refuses a table whose memo file is missing or
// whose header counts more records than the file holds; a check that wants to name every fault
// of a folder reads such tables anyway and asks the reader what it met.
struct OpenOptions {
  // A missing memo file: memo fields read as Null (memoFileMissing() says so).
  bool withoutMemoFile = false;
  // A header counting more records than the file holds: the whole records held are read
  // (headerNote() and headerRecordCount() say so).
  bool shortFile = false;
  // An iconv name: the texts are read in this code page, whatever the table's marks say.
  std::string codePage;
};

// An opened table. The file is read into memory once; records are decoded on request.
class DbfReader {
 public:
  // Opens path and its memo file (same base name, .dbt or .fpt, found without regard to case).
  // The code page comes from a .cpg file beside it, else from the LDID byte, else from the
  // bytes themselves (guessCodePage on the records, then on the memo file), else CP1252.
  static DbfReader open(const std::filesystem::path& path);
  static DbfReader open(const std::filesystem::path& path, const OpenOptions& options);

  const std::filesystem::path& path() const;
  const std::vector<FieldDescriptor>& fields() const;
  // The records the file holds: those the header counts, and further whole records behind them
  // (a writer that crashed before it updated the header leaves them).
  uint32_t recordCount() const;
  // What the header said that the file contradicts, in German ("" when nothing): the reader has
  // read the records the file holds.
  const std::string& headerNote() const;
  // The record count the header gives, whatever the file holds.
  uint32_t headerRecordCount() const;
  // True when the table has memo fields but no memo file (only with withoutMemoFile).
  bool memoFileMissing() const;
  // iconv name of the table's code page, such as "CP1252" or "CP850".
  const std::string& codePage() const;
  // True when neither a ".cpg" file nor the language driver byte named the code page.
  bool codePageGuessed() const;
  // True once a text decoded so far (character field or memo) was not written in the code page:
  // it held bytes the code page has no character for (read as U+FFFD) or that it maps to C1
  // control codes, which no survey text holds. Its letters then arrive in a wrong form.
  bool textsMisDecoded() const;

  bool isDeleted(uint32_t index) const;
  // The bytes of a record as stored (deletion flag first), and of the field descriptors: what
  // its values are decoded from, together with the code page and, for memo fields, the memo file.
  std::string_view rawRecord(uint32_t index) const;
  std::string_view rawDescriptors() const;
  // Decoded values, one per field: texts as UTF-8 and right-trimmed, blank fields as Null;
  // N/F with decimals as Real, without as Integer (Real when too large); D as Date; L as
  // Boolean (? or blank as Null); M as Text from the memo file.
  // Throws DbfError on a value it cannot read.
  std::vector<Value> record(uint32_t index) const;
  // The same, but a value that cannot be read becomes Null and is described in bad.
  std::vector<Value> record(uint32_t index, std::vector<BadValue>& bad) const;

  DbfReader(DbfReader&&) noexcept;
  DbfReader& operator=(DbfReader&&) noexcept;
  ~DbfReader();

 private:
  struct Impl;
  explicit DbfReader(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// Writes a new table, replacing any file of that name only when finish() succeeds (the data go
// to a temporary file first). Field types C, N, F, D, L, M; the LDID byte names the code page.
class DbfWriter {
 public:
  DbfWriter(std::filesystem::path path, std::vector<FieldDescriptor> fields,
            std::string codePage = "CP1252");
  ~DbfWriter();  // without finish(), nothing is left behind
  DbfWriter(const DbfWriter&) = delete;
  DbfWriter& operator=(const DbfWriter&) = delete;

  // One value per field; Null writes a blank field. Texts are UTF-8 and encoded to the code
  // page; a text too long for its field or a character the code page lacks throws DbfError.
  void append(const std::vector<Value>& record);
  // Writes header and memo file and moves them into place.
  void finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace data::dbf
