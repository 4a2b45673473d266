#include "data/umlaut_table.h"

#include <algorithm>
#include <stdexcept>

#include "base/ascii_case.h"
#include "data/dbf/dbf_file.h"

namespace data {

UmlautDict umlautDictionary(const std::vector<Value>& rows) {
  if (rows.size() > std::size(kUmlautLetters))
    throw std::invalid_argument("Die Umlaute-Tabelle hat mehr als sieben Zeilen.");
  UmlautDict dictionary;
  std::size_t letter = 0;
  for (const Value& v : rows)
    if (!v.isNull()) dictionary.add(kUmlautLetters[letter++], v.toText());
  return dictionary;
}

std::vector<Value> readUmlautColumn(const std::filesystem::path& file,
                                    const std::string& codePage) {
  const dbf::DbfReader table = dbf::DbfReader::open(
      file, {.withoutMemoFile = false, .shortFile = false, .codePage = codePage});
  const auto& fields = table.fields();
  const auto column = std::find_if(fields.begin(), fields.end(), [](const auto& f) {
    return base::equalsNoCase(f.name, "UMLAUT");
  });
  if (column == fields.end()) throw dbf::DbfError(file.string() + ": die Spalte UMLAUT fehlt");
  const auto index = static_cast<std::size_t>(column - fields.begin());
  std::vector<Value> rows;
  for (uint32_t r = 0; r < table.recordCount(); ++r)
    if (!table.isDeleted(r)) rows.push_back(table.record(r)[index]);
  return rows;
}

UmlautDict repairableForms(const UmlautDict& dictionary) {
  UmlautDict usable;
  for (const auto& [letter, form] : dictionary) {
    const auto shared = std::count_if(dictionary.begin(), dictionary.end(),
                                      [&](const auto& entry) { return entry.second == form; });
    if (!form.empty() && shared == 1) usable.add(letter, form);
  }
  return usable;
}

}  // namespace data
