// Writes the seed corpus of the dBASE fuzzer: small tables with memo files made by the real
// writer, each packed with its memo file as one fuzz input. Usage: quelbrix_dbf_fuzz_seeds FOLDER

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/dbf/dbf_file.h"
#include "fuzz_input.h"

namespace {

using data::Value;
using data::dbf::DbfWriter;
using data::dbf::FieldDescriptor;

void seed(const std::string& folder, const std::string& name, const std::string& codePage,
          const std::vector<FieldDescriptor>& fields,
          const std::vector<std::vector<Value>>& records) {
  const std::string table = folder + "/" + name + ".dbf";
  {
    DbfWriter writer(table, fields, codePage);
    for (const auto& r : records) writer.append(r);
    writer.finish();
  }
  const std::string memo = folder + "/" + name + ".dbt";
  const auto packed = fuzz::packPair(fuzz::readFile(table), fuzz::readFile(memo));
  fuzz::writeFile(folder + "/" + name, std::string(packed.begin(), packed.end()));
  std::filesystem::remove(table);
  std::filesystem::remove(memo);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  // The column kinds of the survey tables: codes, numbers, dates, flags and memo texts.
  seed(folder, "survey_cp1252", "CP1252",
       {{"GBCODE", 'C', 12, 0},
        {"FLAECHE", 'N', 10, 2},
        {"ANZAHL", 'N', 4, 0},
        {"DATUM", 'D', 8, 0},
        {"GESCHUETZT", 'L', 1, 0},
        {"BEMERKUNG", 'M', 10, 0}},
       {{Value::text("059001000011"), Value::real(12.5), Value::integer(3),
         Value::date({2019, 6, 30}), Value::boolean(true), Value::text("Größere Bestände")},
        {Value::text("059001000021"), Value(), Value::integer(-1), Value(), Value::boolean(false),
         Value()},
        {Value::text("059001000031"), Value::real(0.01), Value(), Value::date({2001, 1, 1}),
         Value(), Value::text("Zeile eins\r\nZeile zwei")}});
  seed(folder, "species_cp850", "CP850",
       {{"ART", 'C', 40, 0}, {"MENGE", 'F', 8, 3}, {"HINWEIS", 'M', 10, 0}},
       {{Value::text("Pulsatilla vulgaris, Küchenschelle"), Value::real(1.25),
         Value::text(std::string(700, 'x'))},
        {Value::text("Ästiger Igelkolben"), Value::real(-3), Value()}});
  seed(folder, "plain", "CP437", {{"KEY", 'C', 3, 0}, {"N", 'N', 2, 0}},
       {{Value::text("a"), Value::integer(1)}});
  return 0;
}
