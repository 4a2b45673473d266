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

// The parts of a shapefile and other file families: the file beside file with the same base name
// and the extension ext (".shx"), found without regard to case as findFileNoCase finds it; empty
// when there is none.
std::filesystem::path findSiblingNoCase(const std::filesystem::path& file, const std::string& ext);
// The path such a sibling is expected at, for messages: ext in capitals when file's own extension
// is written in capitals ("FFH.SHP" → "FFH.SHX"), else as given.
std::filesystem::path siblingPath(const std::filesystem::path& file, const std::string& ext);
// True when the text after the last "." of file's name equals ext (without its ".") without
// regard to case.
bool hasExtensionNoCase(const std::filesystem::path& file, const std::string& ext);

}  // namespace base
