#pragma once
// What a survey table holds, as digests, for telling whether the rows a document shows changed
// since an earlier run: the whole table (its columns, the code page its texts were read in and
// every row in stored order) and, for the columns that tie rows to a sheet or a polygon, the
// rows of each value. Made while the table is read: a row is taken as the bytes its values are
// decoded from, so that equal digests mean equal rows for every query.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/content_hash.h"
#include "data/value.h"

namespace data {

// The columns whose values the digests group rows by (upper case).
inline constexpr const char* kDigestKeyColumns[] = {"GBCODE", "GELBOGENNR", "GBPOLYGON",
                                                    "POLPOLYGON"};

class TableDigest {
 public:
  // Starts a table of these columns.
  explicit TableDigest(const std::vector<std::string>& columns);
  // Adds the next row in stored order: the bytes it is decoded from (bytes) and its values
  // (row), which give its keys.
  void addRow(std::string_view bytes, const std::vector<Value>& row);
  // Ends the table with what else decides its values and their use: the field descriptors, the
  // code page its texts were read in and whether they are known to be mis-decoded (which decides
  // their umlaut repair). No row is added after it.
  void finish(std::string_view layout);

  const base::Digest& whole() const { return whole_; }
  // The digest of the rows whose column holds exactly the text value (of none when there are
  // none). A query "column=?" with a text finds those rows and only them when every value of the
  // column is a text or Null; otherwise (a numeric column compares by number), and for a column
  // the table lacks, the whole table's digest stands for them.
  base::Digest rowsOf(const std::string& column, const std::string& value) const;
  // The same for the rows whose column's text starts with prefix, whatever follows.
  base::Digest rowsStartingWith(const std::string& column, const std::string& prefix) const;

 private:
  struct Keyed {
    std::size_t column = 0;
    bool byText = true;
    std::unordered_map<std::string, std::vector<std::size_t>> rows;  // value -> its rows, in order
    std::map<std::string, base::Digest> digests;
  };
  const Keyed* usable(const std::string& column) const;

  std::vector<std::string> columns_;
  base::Digest layout_{};
  base::ContentHash wholeHash_;
  base::Digest whole_{};
  std::map<std::string, Keyed> keyed_;  // by upper-case column name
  // While the table is read: the bytes of the rows a keyed column names, one after the other,
  // and where each starts.
  std::string bytes_;
  std::vector<std::size_t> rowStarts_;
};

}  // namespace data
