#pragma once
// What a survey table holds, as digests, for telling whether the rows a document shows changed
// since an earlier run: the whole table (its columns, the code page its texts were read in and
// every row in stored order) and, for the columns that tie rows to a sheet or a polygon, the
// rows of each value. Rows are taken as the queries see them, after decoding.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/content_hash.h"
#include "data/value.h"

namespace data {

// The columns whose values the digests group rows by (upper case).
inline constexpr const char* kDigestKeyColumns[] = {"GBCODE", "GELBOGENNR", "GBPOLYGON",
                                                    "POLPOLYGON"};

class TableDigest {
 public:
  // Starts a table of these columns (names and declared types, the code page its texts were read
  // in and whether they are known to be mis-decoded, which decides their umlaut repair).
  TableDigest(const std::vector<std::string>& columns, const std::string& layout);
  // Adds the next row in stored order.
  void addRow(const std::vector<Value>& row);
  // Ends the table; no row is added after it.
  void finish();

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
    std::map<std::string, std::string> rows;  // value -> the digests of its rows, in order
    std::map<std::string, base::Digest> digests;
  };
  const Keyed* usable(const std::string& column) const;

  base::Digest layout_;
  base::ContentHash wholeHash_;
  base::ContentHash rowHash_;
  base::Digest whole_{};
  std::map<std::string, Keyed> keyed_;  // by upper-case column name
  std::string row_;                     // the row being serialised
};

}  // namespace data
