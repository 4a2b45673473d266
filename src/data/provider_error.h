#pragma once
// A failure of the database provider: a number and a German description, as the callers log them.

#include <stdexcept>
#include <string>

namespace data {

// Numbers the callers may test for.
inline constexpr int kErrTableLocked = 3008;   // a table another program holds exclusively
inline constexpr int kErrInvalidPath = 3044;   // the data source folder does not exist
inline constexpr int kErrDamagedTable = 3049;  // a table file cannot be read
inline constexpr int kErrSyntax = 3075;        // the query text is not understood
inline constexpr int kErrNoSuchTable = 3078;   // the query names a table the folder lacks
inline constexpr int kErrNotOpen = 3704;       // the connection is not open
inline constexpr int kErrNoSuchField = 3265;   // a field name the recordset lacks
inline constexpr int kErrNoCurrentRow = 3021;  // reading at BOF or EOF

class ProviderError : public std::runtime_error {
 public:
  ProviderError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int number() const { return number_; }
  std::string description() const { return what(); }

 private:
  int number_;
};

}  // namespace data
