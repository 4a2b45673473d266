#pragma once
// What a killed run leaves behind: the temporary files of its saves beside their targets
// (".quelbrix-tmp-<pid>-…", see base::TemporaryFile) and its work folders below the system's
// temporary folder ("quelbrix-<kind>-<pid>-…": LibreOffice profile, print spool, PDF dossiers).
// A run removes them when it starts, holding the lock on its output folder; only names of ours
// whose process has ended are touched, never a user's file that merely looks similar.

#include <cstddef>
#include <filesystem>
#include <string>

namespace app {

struct RunServices;

// True for a temporary file name of ours whose run has ended.
bool isStaleTemporaryName(const std::string& name);

// Removes such files from folder and its direct sub-folders; answers how many were removed.
std::size_t removeStaleTemporaryFiles(const std::filesystem::path& folder);

// Removes the work folders of ended runs (of this user) from the system's temporary folder;
// answers how many were removed.
std::size_t removeStaleWorkFolders();

// Both, for the output folder of the settings, with a log line when something was removed.
void removeLeftoversOfKilledRuns(const RunServices& run);

}  // namespace app
