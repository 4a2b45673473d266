// Documents per second of the document engine: open a template with 100 bookmarks, fill them
// all, save. The template is built here so the benchmark needs no files.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "word/docx/document.h"
#include "word/docx/zip_archive.h"

namespace {

constexpr int kBookmarks = 100;

std::shared_ptr<const std::string> text(std::string s) {
  return std::make_shared<const std::string>(std::move(s));
}

// A sheet-like template: 100 bookmarks, half of them in table cells, with some filler text.
std::string buildTemplate() {
  const std::string ns =
      " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
      " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
  std::string body;
  for (int k = 0; k < kBookmarks / 2; ++k) {
    body +=
        "<w:p><w:pPr><w:spacing w:after=\"0\"/></w:pPr><w:r><w:rPr><w:rFonts "
        "w:ascii=\"Arial\" w:hAnsi=\"Arial\"/><w:sz w:val=\"18\"/></w:rPr><w:t "
        "xml:space=\"preserve\">Feld " +
        std::to_string(k) + ": </w:t></w:r><w:bookmarkStart w:id=\"" + std::to_string(k) +
        "\" w:name=\"FELD" + std::to_string(k) +
        "\"/><w:r><w:rPr><w:sz w:val=\"18\"/></w:rPr><w:t>..........</w:t></w:r>"
        "<w:bookmarkEnd w:id=\"" +
        std::to_string(k) + "\"/></w:p>";
  }
  body +=
      "<w:tbl><w:tblPr><w:tblW w:w=\"9000\" w:type=\"dxa\"/></w:tblPr><w:tblGrid><w:gridCol "
      "w:w=\"4500\"/><w:gridCol w:w=\"4500\"/></w:tblGrid>";
  for (int k = kBookmarks / 2; k < kBookmarks; ++k) {
    body +=
        "<w:tr><w:tc><w:tcPr><w:tcW w:w=\"4500\" w:type=\"dxa\"/></w:tcPr><w:p><w:r><w:t>Spalte " +
        std::to_string(k) +
        "</w:t></w:r></w:p></w:tc><w:tc><w:tcPr><w:tcW w:w=\"4500\" "
        "w:type=\"dxa\"/></w:tcPr><w:p><w:bookmarkStart w:id=\"" +
        std::to_string(k) + "\" w:name=\"FELD" + std::to_string(k) +
        "\"/><w:r><w:t>___</w:t></w:r><w:bookmarkEnd w:id=\"" + std::to_string(k) +
        "\"/></w:p></w:tc></w:tr>";
  }
  body += "</w:tbl><w:p/>";
  const std::string decl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
  std::vector<docx::ZipEntry> entries{
      {"[Content_Types].xml",
       text(decl +
            "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            "<Default Extension=\"rels\" "
            "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml\"/></Types>")},
      {"_rels/.rels",
       text(decl +
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
            "2006/relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>")},
      {"word/document.xml", text(decl + "<w:document" + ns + "><w:body>" + body +
                                 "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr>"
                                 "</w:body></w:document>")},
  };
  return docx::writeZip(entries, 6);
}

struct Workspace {
  std::filesystem::path folder;
  std::filesystem::path templatePath;
  Workspace() {
    folder = std::filesystem::temp_directory_path() /
             ("quelbrix_docx_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    templatePath = folder / "TemplateBogenV2GN.dotx";
    std::ofstream(templatePath, std::ios::binary) << buildTemplate();
  }
  ~Workspace() { std::filesystem::remove_all(folder); }
};

void fillAndSave(const Workspace& ws, int n, bool finish,
                 docx::Durability durability = docx::Durability::kRename) {
  docx::Document doc = docx::Document::open(ws.templatePath);
  const docx::RunFormat format{true, std::string("Times New Roman"), 11.0};
  for (int k = 0; k < kBookmarks; ++k) {
    doc.bookmarks().replace("FELD" + std::to_string(k), "Wert " + std::to_string(k) + " Größe",
                            format, docx::BookmarkScope::kMainText);
  }
  if (finish) {
    doc.setLanguageGerman();
    doc.setPrintLayoutView();
    benchmark::DoNotOptimize(doc.protectFormsWithRandomPassword());
  }
  doc.save(ws.folder / ("00000000000" + std::to_string(n % 10) + "GN.docx"), durability);
}

void BM_FillHundredBookmarksAndSave(benchmark::State& state) {
  Workspace ws;
  int n = 0;
  for (auto _ : state) fillAndSave(ws, n++, false);
  state.SetItemsProcessed(state.iterations());  // items = documents
}
BENCHMARK(BM_FillHundredBookmarksAndSave)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with language, view and form protection (default hash rounds) as a document is
// finished for delivery.
void BM_FillProtectAndSave(benchmark::State& state) {
  Workspace ws;
  int n = 0;
  for (auto _ : state) fillAndSave(ws, n++, true);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FillProtectAndSave)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with the file flushed to disk before it replaces the old one.
void BM_FillAndSaveFlushed(benchmark::State& state) {
  Workspace ws;
  int n = 0;
  for (auto _ : state) fillAndSave(ws, n++, false, docx::Durability::kFlushThenRename);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FillAndSaveFlushed)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
