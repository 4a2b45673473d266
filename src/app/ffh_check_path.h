#pragma once
// The path check before a generation window opens: the shapefile, the survey folder and the
// output folder from the settings. Shows its own message box and log line on failure.

#include <cstdint>
#include <filesystem>
#include <string>

namespace app {

// 100 when all checks pass, 101 at the first failure.
int16_t FfhCheckPath();

// Empty when a file can be created in folder (tried with a temporary file of ours, removed at
// once: permissions, a read-only mount or a full network share all show only then); else the
// German reason.
std::string outputFolderWriteProblem(const std::filesystem::path& folder);

}  // namespace app
