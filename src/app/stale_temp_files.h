#pragma once
// The hidden temporary files our saves write beside their targets (".NAME.docx.XXXXXX",
// ".MessageReport.txt.XXXXXX") are renamed onto the target or removed; only a killed run leaves
// them behind. A run removes them from the output folder and its sub-folders when it starts.

#include <cstddef>
#include <filesystem>
#include <string>

namespace app {

struct RunServices;

// True for a name our atomic saves give their temporary files.
bool isStaleTemporaryName(const std::string& name);

// Removes such files from folder and its direct sub-folders; answers how many were removed.
std::size_t removeStaleTemporaryFiles(const std::filesystem::path& folder);

// The same for the output folder of the settings, with a log line when something was removed.
void removeLeftoversOfKilledRuns(const RunServices& run);

}  // namespace app
