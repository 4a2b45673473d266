#pragma once
// Reading zip packages in memory through libzip, writing them with ISA-L or libdeflate. Entries
// share their bytes by shared_ptr so a cached template can hand them to many documents without
// copying. Every failure throws docx::DocxError.

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

// How parts are deflated (parts under 2 KB are always stored).
enum class Packing {
  kStored,
  // ISA-L's fastest deflate where the build has it: a third of libdeflate's time and 2 % larger
  // on a survey sheet; for documents, which a run writes by the thousand.
  kFast,
  // libdeflate's fastest level: a fifth smaller than kFast on dense drawings (a cover map).
  kSmall,
  // libdeflate's strongest level, for templates, which are written once.
  kSmallest,
};

// Packs the entries in their order and answers the archive's bytes. Entries carry no time (that
// of the templates, 1980-01-01), so the same parts always give the same archive.
std::string writeZip(const std::vector<ZipEntry>& entries, Packing packing);

}  // namespace docx
