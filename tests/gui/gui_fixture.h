#pragma once
// A window test: the application object, memory settings pointing at the sample survey and a
// fresh output folder, a recording user interface, the sample's resource folder and a running
// log. Everything is put back afterwards.

#include <gtest/gtest.h>

#include "app/resource_folder.h"
#include "gui_test_support.h"
#include "support/temp_dir.h"
#include "word/cls_word_doc.h"

namespace guitest {

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureApplication();
    const SampleSurvey& survey = sampleSurvey();
    out_ = dir_.path() / "out";
    std::filesystem::create_directories(out_);
    auto store = std::make_unique<app::MemorySettings>();
    settings_ = store.get();
    app::installSettings(std::move(store));
    auto recorder = std::make_unique<PumpingRecorder>();
    ui_ = recorder.get();
    app::installUi(std::move(recorder));
    app::setResourceFolder(survey.resources);
    settings().set(app::kShapeFilesPfad, survey.shape.string());
    settings().set(app::kDbfFilesPfad, survey.db.string());
    settings().set(app::kDataFilesPfad, out_.string());
    word::resetWordDoc();
  }
  void TearDown() override {
    QApplication::closeAllWindows();
    app::installSettings(std::make_unique<app::MemorySettings>());
    app::installUi(std::make_unique<app::ConsoleUserInterface>());
    app::setResourceFolder({});
  }

  // The database as the main window opens it for the output window.
  std::unique_ptr<data::clsDBFData> openDatabase() {
    auto db = std::make_unique<data::clsDBFData>();
    EXPECT_TRUE(db->ValidFilePaths());
    db->ConnectDBDaten();
    db->CheckUmlauteTab();
    return db;
  }

  app::MemorySettings& settings() { return *settings_; }
  PumpingRecorder& ui() { return *ui_; }
  std::string lastBox() const { return ui_->boxes.empty() ? "" : ui_->boxes.back().text; }

  testsupport::TempDir dir_;
  std::filesystem::path out_;

 private:
  app::MemorySettings* settings_ = nullptr;
  PumpingRecorder* ui_ = nullptr;
};

}  // namespace guitest
