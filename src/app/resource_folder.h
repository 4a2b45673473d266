#pragma once
// Where the program's own files live: Templates/ and data/umlaute2.dbf.

#include <filesystem>

namespace app {

// The executable's folder when it holds Templates/ or data/, else <prefix>/share/quelbrix.
// The environment variable QUELBRIX_RESOURCES, when set, wins (tests and relocated installs).
std::filesystem::path resourceFolder();
// Overrides the folder for this process (tests); an empty path restores the default.
void setResourceFolder(const std::filesystem::path& folder);

}  // namespace app
