#include "data/text_decoding_check.h"

#include "base/file_lookup.h"
#include "data/connection.h"
#include "data/dbf/dbf_file.h"

namespace data {

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
          if (v.kind() == Value::Kind::Text && v.asText().find("\xEF\xBF\xBD") != std::string::npos)
            ++entry.texts;
      }
      if (entry.texts > 0) found.push_back(std::move(entry));
    } catch (const dbf::DbfError&) {
      // A damaged table is reported when the connection loads it.
    }
  }
  return found;
}

}  // namespace data
