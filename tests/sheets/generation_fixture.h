#pragma once
// A sample survey database, the real templates and a running log, for tests that make
// documents and read them back.

#include <filesystem>

#include "app/app_fixture.h"
#include "app/resource_folder.h"
#include "data/cls_dbf_data.h"
#include "sample/sample_database.h"
#include "word/cls_word_doc.h"
#include "word/docx/document.h"

namespace testsupport {

class GenerationFixture : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    db_ = dir_.path() / "db";
    out_ = dir_.path() / "out";
    const auto res = dir_.path() / "res";
    std::filesystem::create_directories(res / "data");
    std::filesystem::copy(QUELBRIX_TEMPLATE_DIR, res / "Templates");
    sample::writeUmlautTable(res / "data" / "umlaute2.dbf");
    app::setResourceFolder(res);
    sample::SampleOptions options;
    options.polygons = 30;
    sample::writeSampleDatabase(db_, options);
    // Only the attribute table's presence is checked before a run.
    std::filesystem::create_directories(dir_.path() / "shape");
    for (const char* ext : {".shp", ".dbf"})
      writeFile(dir_.path() / "shape" / (std::string("p") + ext), "");
    settings().set(app::kShapeFilesPfad, (dir_.path() / "shape/p.shp").string());
    settings().set(app::kDbfFilesPfad, db_.string());
    ASSERT_TRUE(startLog(out_));
    word::resetWordDoc();
    database_.ValidFilePaths();
    database_.ConnectDBDaten();
  }
  void TearDown() override {
    app::setResourceFolder({});
    AppFixture::TearDown();
  }

  // The first sheet key of a type in the sample, e.g. "059001000011F".
  std::string keyOf(const std::string& type) {
    data::Recordset rs;
    EXPECT_TRUE(database_.GetRecordset(
        0, "SELECT GBCODE, GBBOGEN FROM gbogen WHERE GBBOGEN='" + type + "'", rs));
    return rs.isEOF() ? "" : rs.value(0).toText() + type;
  }
  std::filesystem::path documentOf(const std::string& key) const {
    return out_ / key.substr(12) / (key + ".docx");
  }
  std::vector<std::string> log() const { return logLines(out_); }
  bool logged(const std::string& line) const {
    const auto lines = log();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  std::filesystem::path db_, out_;
  data::clsDBFData database_;
};

// A bookmark's text in a saved document (headers and footers included).
inline std::string markText(docx::Document& doc, const std::string& name) {
  return doc.bookmarks().text(name, docx::BookmarkScope::kAllStories);
}

}  // namespace testsupport
