#pragma once
// Reading and writing zip packages in memory through libzip. Entries share their bytes by
// shared_ptr so a cached template can hand them to many documents without copying. Every
// failure throws docx::DocxError.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace docx {

struct ZipEntry {
  std::string name;
  std::shared_ptr<const std::string> data;
};

// Unpacks every file entry of the archive held in `bytes`. `label` names the archive in error
// messages. Oversized or inconsistent archives are rejected instead of being expanded.
std::vector<ZipEntry> readZip(std::string_view bytes, const std::string& label);

// Packs the entries in their order with deflate at `level` (1 fastest .. 9 smallest) and
// answers the archive's bytes.
std::string writeZip(const std::vector<ZipEntry>& entries, int level);

}  // namespace docx
