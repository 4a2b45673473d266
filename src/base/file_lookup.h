#pragma once
// Finding a file the program names itself (a table, its memo file, the shapefile's parts, the
// umlaut table) whatever the case its name was written in: survey folders come from systems
// whose file names ignore case.

#include <filesystem>
#include <string>

#include "base/ascii_case.h"

namespace base {

// The regular file folder/name: that exact name when it exists, else the one in folder whose
// name equals it without regard to ASCII case; empty when there is none. An empty folder is the
// current one.
std::filesystem::path findFileNoCase(const std::filesystem::path& folder, const std::string& name);

}  // namespace base
