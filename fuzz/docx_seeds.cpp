// Writes the seed corpus of the document engine fuzzer from built templates: each template is
// opened, filled and saved by the engine as a run does it, then unpacked into the fuzzer's entry
// list; the first one is also kept as the package's own bytes.
// Usage: quelbrix_docx_fuzz_seeds FOLDER TEMPLATE.dotx...

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "word/docx/document.h"
#include "word/docx/zip_archive.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s FOLDER TEMPLATE.dotx...\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  for (int i = 2; i < argc; ++i) {
    auto doc = docx::Document::open(argv[i]);
    for (const char* name : {"GBCODE", "Datum", "Polygon"}) {
      if (doc.bookmarks().exists(name, docx::BookmarkScope::kAllStories))
        doc.bookmarks().replace(name, "059001000011", {}, docx::BookmarkScope::kAllStories);
    }
    if (doc.tables().count() > 0) doc.tables().appendRow(1);
    doc.protectForms("seed", 1);
    const std::string bytes = doc.toBytes();
    std::vector<fuzz::Entry> entries;
    for (const auto& e : docx::readZip(bytes, argv[i])) entries.push_back({e.name, *e.data});
    const std::string stem = std::filesystem::path(argv[i]).stem().string();
    fuzz::writeFile(folder + "/" + stem, fuzz::packEntries(entries));
    if (i == 2) fuzz::writeFile(folder + "/" + stem + ".docx", bytes);
  }
  return 0;
}
