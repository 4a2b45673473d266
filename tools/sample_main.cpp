// Writes the sample survey database (and optionally the umlaut table) for trial runs.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <exception>

#include "tools/sample_database.h"

int main(int argc, char** argv) {
  CLI::App app{"Writes a synthetic survey database of 28 dBASE tables"};
  std::string out;
  std::string umlautFile;
  sample::SampleOptions options;
  app.add_option("--out", out, "folder for the tables (created if missing)")->required();
  app.add_option("--polygons", options.polygons, "number of polygons")->capture_default_str();
  app.add_option("--seed", options.seed, "seed of the generator")->capture_default_str();
  app.add_option("--code-page", options.codePage, "code page of the tables, e.g. CP1252, CP850")
      ->capture_default_str();
  app.add_option("--umlaut-table", umlautFile, "also write the umlaut table to this file");
  CLI11_PARSE(app, argc, argv);
  try {
    const auto start = std::chrono::steady_clock::now();
    const auto result = sample::writeSampleDatabase(out, options);
    if (!umlautFile.empty()) sample::writeUmlautTable(umlautFile, options.codePage);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    std::printf("%zu polygons, %d sheets written to %s in %lld ms\n", result.polygons.size(),
                result.sheets, out.c_str(), static_cast<long long>(ms));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 1;
  }
}
