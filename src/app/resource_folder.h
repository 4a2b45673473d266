#pragma once
// Where the program's own files live: Templates/ and data/umlaute2.dbf.

#include <filesystem>

namespace app {

// Found relative to the executable, so that a program in the build tree and an installed one
// (in any prefix, or unpacked from its package anywhere) both find their own files: the
// executable's folder when it holds Templates/ or data/ (the build tree), else
// <executable's folder>/../share/quelbrix (an installed program, bin/ beside share/).
// The environment variable QUELBRIX_RESOURCES, when set, wins (tests and moved resources).
std::filesystem::path resourceFolder();
// Overrides the folder for this process (tests); an empty path restores the default.
void setResourceFolder(const std::filesystem::path& folder);

}  // namespace app
