// Feeds arbitrary bytes to the dBASE reader as a table and its memo file (the pair is written as
// t.dbf with the same memo bytes as t.dbt and t.fpt, so each table kind finds it), then opens the
// table and decodes every record up to a bound. Any outcome but values or a DbfError (a crash, a
// sanitizer report, another exception, a hang) is a finding. Every character or memo text must
// be UTF-8, since the survey database and the documents take it as such.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/dbf/dbf_file.h"
#include "fuzz_input.h"

namespace {

bool isUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t extra = c < 0x80                ? 0
                         : c >= 0xC2 && c < 0xE0 ? 1
                         : c >= 0xE0 && c < 0xF0 ? 2
                         : c >= 0xF0 && c < 0xF5 ? 3
                                                 : SIZE_MAX;
    if (extra == SIZE_MAX || s.size() - i <= extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = fuzz::scratchFolder("quelbrix_dbf_fuzz");
  const auto [table, memo] = fuzz::unpackPair(data, size);
  fuzz::writeFile(folder + "/t.dbf", table);
  fuzz::writeFile(folder + "/t.dbt", memo);
  fuzz::writeFile(folder + "/t.fpt", memo);
  try {
    const auto reader = data::dbf::DbfReader::open(folder + "/t.dbf");
    volatile size_t sink = reader.codePage().size() + reader.fields().size();
    const uint32_t last = std::min<uint32_t>(reader.recordCount(), 500);
    for (uint32_t i = 0; i < last; ++i) {
      try {
        sink = sink + reader.isDeleted(i);
        const auto values = reader.record(i);
        for (size_t f = 0; f < values.size(); ++f) {
          const data::Value& v = values[f];
          if (v.kind() != data::Value::Kind::Text) continue;
          // Binary memos (G, P, dBASE B) are handed on as stored; texts are converted.
          const char type = reader.fields()[f].type;
          if ((type == 'C' || type == 'M') && !isUtf8(v.asText())) {
            std::fprintf(stderr, "record %u holds a text that is not UTF-8\n", i);
            std::abort();
          }
          sink = sink + v.asText().size();
        }
      } catch (const data::dbf::DbfError&) {
      }
    }
  } catch (const data::dbf::DbfError&) {
  }
  return 0;
}
