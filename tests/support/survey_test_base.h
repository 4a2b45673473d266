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
    settings().set(app::kDbfFilesPfad, (dir_.path() / "db").string());
    ASSERT_TRUE(startLog(dir_.path() / "out"));
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
