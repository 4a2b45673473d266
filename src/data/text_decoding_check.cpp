#include "data/text_decoding_check.h"

#include "base/file_lookup.h"
#include "data/connection.h"
#include "data/dbf/dbf_file.h"

namespace data {
namespace {

// U+FFFD where the code page has no character for a byte, or U+0080..U+009F (UTF-8 0xC2
// 0x80..0x9F) where it maps one to a C1 control code.
bool undecoded(const std::string& text) {
  if (text.find("\xEF\xBF\xBD") != std::string::npos) return true;
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) == 0xC2 &&
        (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80)
      return true;
  return false;
}

}  // namespace

std::vector<UndecodableTable> findUndecodableTexts(const std::filesystem::path& folder,
                                                   const std::vector<std::string>& tables) {
  std::vector<UndecodableTable> found;
  for (const auto& name : tables) {
    const std::filesystem::path file = base::findFileNoCase(folder, name + ".dbf");
    if (file.empty()) continue;
    try {
      const dbf::DbfReader reader = dbf::DbfReader::open(file);
      UndecodableTable entry{file.filename().string(), reader.codePage(), 0};
      for (uint32_t r = 0; r < reader.recordCount(); ++r) {
        if (reader.isDeleted(r)) continue;
        for (const Value& v : reader.record(r))
          if (v.kind() == Value::Kind::Text && undecoded(v.asText())) ++entry.texts;
      }
      if (entry.texts > 0) found.push_back(std::move(entry));
    } catch (const dbf::DbfError&) {
      // A damaged table is reported when the connection loads it.
    }
  }
  return found;
}

}  // namespace data
