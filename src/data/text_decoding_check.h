#pragma once
// Finds survey tables whose texts do not decode in the code page chosen for them (their texts
// then hold U+FFFD or C1 control codes), so that the check can name them before a run prints
// garbled letters.

#include <filesystem>
#include <string>
#include <vector>

namespace data {

struct UndecodableTable {
  std::string table;      // file name, e.g. "bgw.dbf"
  std::string codePage;   // the code page the reader used
  std::size_t texts = 0;  // texts holding a replacement character or a C1 control code
};

// Reads every named table of folder (names without ".dbf", found without regard to case);
// tables that are missing or damaged are left to the other checks.
std::vector<UndecodableTable> findUndecodableTexts(const std::filesystem::path& folder,
                                                   const std::vector<std::string>& tables);

}  // namespace data
