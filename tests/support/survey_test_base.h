#pragma once
// A test with a connected survey database of the given sheets and a running log.

#include "app/app_fixture.h"
#include "data/cls_dbf_data.h"
#include "support/survey_fixture.h"

namespace testsupport {

class SurveyTestBase : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    std::filesystem::create_directories(dir_.path() / "out");
    settings().set(app::kDataFilesPfad, (dir_.path() / "out").string());
    settings().set(app::kDbfFilesPfad, (dir_.path() / "db").string());
    settings().set(app::kErrorReport, "0");
    ASSERT_TRUE(app::g_Debug().Init());
  }
  void connect(const std::vector<SheetRow>& rows) {
    writeSurveyTables(dir_.path() / "db", rows);
    db_ = std::make_unique<data::clsDBFData>();
    db_->useSurveyFolder((dir_.path() / "db").string());
    db_->ConnectDBDaten();
  }
  std::string lastLog() const { return logLines(dir_.path() / "out").back(); }

  std::unique_ptr<data::clsDBFData> db_;
};

}  // namespace testsupport
