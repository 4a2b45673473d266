#pragma once
// Reading zip packages in memory through libzip, writing them with libdeflate. Entries share their
// bytes by shared_ptr so a cached template can hand them to many documents without copying. Every
// failure throws docx::DocxError.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace docx {

struct ZipEntry {
  std::string name;
  std::shared_ptr<const std::string> data;
  // The bytes are a cached template's, shared by every document made from it: their packed form
  // is kept while they live, so that they are deflated once.
  bool shared = false;
};

// Unpacks every file entry of the archive held in `bytes`. `label` names the archive in error
// messages. Oversized or inconsistent archives are rejected instead of being expanded.
std::vector<ZipEntry> readZip(std::string_view bytes, const std::string& label);

// Packs the entries in their order with deflate at `level` (1 fastest .. 9 smallest; 0 and
// parts under 2 KB are stored) and answers the archive's bytes. Entries carry no time (that of
// the templates, 1980-01-01), so the same parts always give the same archive.
std::string writeZip(const std::vector<ZipEntry>& entries, int level);

}  // namespace docx
