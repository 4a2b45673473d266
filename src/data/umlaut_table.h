#pragma once
// The program's umlaut table "umlaute2": one column UMLAUT whose seven rows hold the letters
// ä ö ü Ä Ö Ü ß, in stored order, in the bytes of the DOS code page that mis-read survey tables
// were written in. Read in the code page a table's texts were decoded in, it gives the forms in
// which these letters arrive from that table.

#include <filesystem>
#include <string>
#include <vector>

#include "data/ordered_dict.h"
#include "data/value.h"

namespace data {

// Umlaut letter → the form in which it arrives from the survey tables, in letter order.
using UmlautDict = OrderedDict<std::string>;

// The seven letters in the order of the table's rows.
inline constexpr const char* kUmlautLetters[] = {"ä", "ö", "ü", "Ä", "Ö", "Ü", "ß"};

// The dictionary of the table's rows (values of UMLAUT in stored order): each row that is not
// Null gives the form of the next letter, so a Null row lets the later letters move up and the
// last ones go without an entry. rows must not hold more than seven values.
UmlautDict umlautDictionary(const std::vector<Value>& rows);

// The UMLAUT values of the table's records that are not deleted, read in codePage whatever the
// table's own marks say. Throws dbf::DbfError when the file is unreadable or has no UMLAUT.
std::vector<Value> readUmlautColumn(const std::filesystem::path& file, const std::string& codePage);

// The part of a dictionary the repair can use: forms that are empty, or that two letters share
// (a code page that lacks both reads them alike), cannot tell which letter to put back.
UmlautDict repairableForms(const UmlautDict& dictionary);

}  // namespace data
