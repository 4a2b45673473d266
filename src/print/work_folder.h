#pragma once
// The private folders the print chain works in, below the system's temporary folder.

#include <filesystem>
#include <string>

namespace print {

// Makes folder "<temporary folder>/<prefix>-XXXXXX" (readable by the user alone) unless folder
// already names one. False when it cannot be made; folder then stays empty.
bool ensureWorkFolder(const std::string& prefix, std::filesystem::path& folder);

}  // namespace print
