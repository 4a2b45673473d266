#pragma once
// A window test: the application object, memory settings pointing at the sample survey and a
// fresh output folder, a recording user interface, the sample's resource folder and a running
// log. Everything is put back afterwards.

#include <gtest/gtest.h>

#include "app/resource_folder.h"
#include "app_fixture.h"
#include "gui/window_memory.h"
#include "gui_test_support.h"
#include "word/cls_word_doc.h"

namespace guitest {

class GuiTest : public testsupport::AppFixtureWith<PumpingRecorder> {
 protected:
  void SetUp() override {
    ensureApplication();
    AppFixtureWith::SetUp();
    recordDesktop();
    // What an earlier test's windows remembered must not reach this one's.
    gui::forgetWindowMemory();
    const SampleSurvey& survey = sampleSurvey();
    out_ = dir_.path() / "out";
    std::filesystem::create_directories(out_);
    app::setResourceFolder(survey.resources);
    settings().set(app::kShapeFilesPfad, survey.shape.string());
    settings().set(app::kDbfFilesPfad, survey.db.string());
    settings().set(app::kDataFilesPfad, out_.string());
    word::resetWordDoc();
  }
  void TearDown() override {
    QApplication::closeAllWindows();
    app::setResourceFolder({});
    AppFixtureWith::TearDown();
  }

  // The database as the main window opens it for the output window.
  std::unique_ptr<data::clsDBFData> openDatabase() {
    auto db = std::make_unique<data::clsDBFData>();
    EXPECT_TRUE(db->ValidFilePaths());
    db->ConnectDBDaten();
    db->CheckUmlauteTab();
    return db;
  }

  // A copy of the sample's tables for the test to damage, set as the survey folder.
  std::filesystem::path copySurvey() {
    const std::filesystem::path db = dir_.path() / "db";
    std::filesystem::remove_all(db);
    std::filesystem::copy(sampleSurvey().db, db, std::filesystem::copy_options::recursive);
    settings().set(app::kDbfFilesPfad, db.string());
    return db;
  }

  std::filesystem::path out_;
};

}  // namespace guitest
