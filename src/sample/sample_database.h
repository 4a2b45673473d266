#pragma once
// A synthetic survey database for trials and tests: the 28 survey tables filled with plausible
// FFH areas, polygons, sheets of every type, species and remarks, and the umlaut table.
// Deterministic for a seed. Failures throw: data::dbf::DbfError or std::filesystem_error for
// file trouble (an unknown code page included), std::invalid_argument for bad options.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sample {

struct SampleOptions {
  int polygons = 60;
  uint32_t seed = 1;
  std::string codePage = "CP1252";
};

struct SamplePolygon {
  std::string code;  // 11-character polygon code (GBPOLYGON, POLPOLYGON)
  std::string name;
  int parts = 1;
};

struct SampleResult {
  std::vector<SamplePolygon> polygons;
  int sheets = 0;  // rows of GBogen: one per sheet code and sheet type
};

// Writes the 28 survey tables into dir (created if missing). Deterministic for a seed.
SampleResult writeSampleDatabase(const std::filesystem::path& dir, const SampleOptions& options);

// Writes the program's umlaut table "umlaute2.dbf" (column UMLAUT, seven rows for ä ö ü Ä Ö Ü ß):
// the DOS bytes of the letters in a table marked as Windows text, so that reading it gives the
// forms in which these letters arrive from a DOS table mistaken for a Windows one ("„", "”",
// U+FFFD, "Ž", "™", "š", "á"), and the repair turns them back into letters.
void writeUmlautTable(const std::filesystem::path& file);

}  // namespace sample
