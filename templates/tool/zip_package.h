#pragma once
// Writes an Open Packaging Conventions package (a zip of named parts) to a file with the document
// engine's zip writer. The package is saved atomically (base::replaceFile), so a failed build
// never leaves a half-written template. Throws FormError on any failure.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace forms {

using PackageParts = std::vector<std::pair<std::string, std::string>>;  // part name, bytes

void writeZipPackage(const std::filesystem::path& target, const PackageParts& parts);

}  // namespace forms
