// Feeds arbitrary parts to the document engine the way a run uses a template: packs them into a
// package (an input that is no entry list is taken as the package's bytes themselves), opens it,
// looks up the bookmarks it names, fills and extends them, reshapes its first tables, protects
// it and saves it. Any outcome but a DocxError (a crash, a sanitizer report, another exception,
// a hang) is a finding, and so is a saved package the engine cannot open again: a document the
// engine wrote must be a document.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "word/docx/document.h"
#include "word/docx/zip_archive.h"

namespace {

using docx::BookmarkScope;

// The bookmark names the parts mention (the first few), as a run knows them from its template.
std::vector<std::string> bookmarkNames(const std::vector<fuzz::Entry>& entries) {
  std::vector<std::string> names;
  static const std::string marker = "w:name=\"";
  for (const auto& e : entries) {
    for (size_t at = e.content.find(marker); at != std::string::npos && names.size() < 6;
         at = e.content.find(marker, at + 1)) {
      const size_t begin = at + marker.size();
      const size_t end = e.content.find('"', begin);
      if (end != std::string::npos && end - begin < 64)
        names.push_back(e.content.substr(begin, end - begin));
    }
  }
  return names;
}

// Each step may fail on its own; the next one still runs on the document as the failure left it.
void attempt(const std::function<void()>& step) {
  try {
    step();
  } catch (const docx::DocxError&) {
  }
}

void fill(docx::Document& doc, const std::vector<std::string>& names) {
  docx::RunFormat bold;
  bold.bold = true;
  for (const std::string& name : names) {
    attempt([&] {
      if (!doc.bookmarks().exists(name, BookmarkScope::kAllStories)) return;
      volatile size_t sink = doc.bookmarks().length(name, BookmarkScope::kAllStories);
      (void)sink;
      doc.bookmarks().replace(name, "Wert\rzweiter Absatz\nZeile", {}, BookmarkScope::kAllStories);
      doc.bookmarks().insert(name, "vorn ", bold, BookmarkScope::kAllStories, false);
      doc.bookmarks().insert(name, " hinten", {}, BookmarkScope::kAllStories, true);
      doc.bookmarks().replaceFirst(name, "zweiter", "2.", BookmarkScope::kAllStories);
      doc.bookmarks().setFont(name, bold, BookmarkScope::kAllStories);
      if (doc.bookmarks().text(name, BookmarkScope::kAllStories).find("2.") == std::string::npos) {
        std::fprintf(stderr, "bookmark %s lost its replaced text\n", name.c_str());
        std::abort();
      }
    });
  }
}

void reshapeTables(docx::Document& doc) {
  auto& t = doc.tables();
  int count = 0;
  attempt([&] { count = std::min(t.count(), 3); });
  for (int table = count; table >= 1; --table) {
    attempt([&] { t.appendRow(table); });
    attempt([&] { t.setCellText(table, 1, 1, "Zelle\rzwei"); });
    attempt([&] {
      volatile size_t n = t.cellText(table, 1, 1).size();
      (void)n;
    });
    attempt([&] { t.splitRow(table, 1, 3); });
    attempt([&] { t.mergeRow(table, t.rowCount(table)); });
    attempt([&] { t.deleteRow(table, t.rowCount(table)); });
  }
  attempt([&] {
    if (t.count() > 0 && t.rowCount(1) == 1) t.deleteTable(1);
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<fuzz::Entry> entries = fuzz::unpackEntries(data, size);
  std::string package;
  try {
    if (!entries.empty() && entries.front().name == "[Content_Types].xml") {
      std::vector<docx::ZipEntry> zip;
      for (const auto& e : entries)
        zip.push_back({e.name, std::make_shared<const std::string>(e.content)});
      package = docx::writeZip(zip, docx::Packing::kStored);
    } else {
      package.assign(reinterpret_cast<const char*>(data), size);
      entries.clear();
      for (const auto& e : docx::readZip(package, "fuzz")) entries.push_back({e.name, *e.data});
    }
  } catch (const docx::DocxError&) {
    return 0;
  }
  std::string saved;
  try {
    auto doc = docx::Document::fromBytes(package, "fuzz");
    fill(doc, bookmarkNames(entries));
    reshapeTables(doc);
    attempt([&] { doc.protectForms("fuzz", 1); });
    attempt([&] { doc.setLanguageGerman(); });
    attempt([&] { doc.setPrintLayoutView(); });
    saved = doc.toBytes();
  } catch (const docx::DocxError&) {
    return 0;
  }
  try {
    auto again = docx::Document::fromBytes(saved, "saved");
    volatile int tables = again.tables().count();
    (void)tables;
  } catch (const docx::DocxError& e) {
    std::fprintf(stderr, "the engine saved a package it cannot open again: %s\n", e.what());
    std::abort();
  }
  return 0;
}
