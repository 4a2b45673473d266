// Whole report runs: polygon selection, cover sheets and reports per polygon, copies, cancel,
// unexpected errors and the message file.

#include "report/report_run.h"

#include "app/message_file.h"
#include "report/mod_ffh_report_bogen.h"
#include "report_fixture.h"
#include "sheets/document_inputs.h"
#include "support/temp_dir.h"
#include "word/cls_word_doc.h"
#include "word/run_context.h"

namespace {

using reporttest::square;

class ReportRunTest : public reporttest::ReportFixture {
 protected:
  void SetUp() override {
    ReportFixture::SetUp();
    writeStandardTemplates();
    writeDatabase(
        tables_ = {{"GBogen",
                    {{{"GBCODE", "123001000011"}, {"GBBOGEN", "GN"}, {"GBPOLYGON", "12300100001"}},
                     {{"GBCODE", "123001000012"}, {"GBBOGEN", "GT"}, {"GBPOLYGON", "12300100001"}},
                     {{"GBCODE", "123001000021"},
                      {"GBBOGEN", "F"},
                      {"GBPOLYGON", "12300100002"},
                      {"GBKOPIE", "3"}},
                     {{"GBCODE", "123001000022"}, {"GBBOGEN", "F"}, {"GBPOLYGON", "12300100002"}},
                     {{"GBCODE", "123001000031"}, {"GBPOLYGON", "12300100003"}},
                     {{"GBCODE", "123001000041"},
                      {"GBBOGEN", "F"},
                      {"GBPOLYGON", "12300100004"},
                      {"GBKOPIE", "2"}},
                     {{"GBCODE", "456001000011"}, {"GBBOGEN", "F"}, {"GBPOLYGON", "45600100001"}},
                     {{"GBCODE", "456001000012"}, {"GBBOGEN", "F"}, {"GBPOLYGON", "45600100001"}}}},
                   {"ffhnum",
                    {{{"FFHNR", "123"}, {"NAME", "Mühlbachtal"}},
                     {{"FFHNR", "456"}, {"NAME", "Hohe Heide"}}}}});
    writeShapefile({{"12300100001", "500", {square(0, 0, 100)}},
                    {"12300100002", "700", {square(100, 0, 100)}},
                    {"12300100004", "900", {square(200, 0, 100)}},
                    {"45600100001", "1100", {square(0, 100, 100)}}});
  }

  report::ReportSummary run(const std::vector<std::string>& codes, bool skipCopies = false) {
    return report::runReports(word::programContext(*db_), codes, skipCopies, cancel_, callbacks_);
  }

  std::atomic<bool> cancel_{false};
  report::ReportCallbacks callbacks_;
  std::map<std::string, std::vector<reporttest::Row>> tables_;
};

TEST_F(ReportRunTest, Run_CoverSheetThenOneReportPerSheet) {
  std::vector<std::size_t> positions;
  callbacks_.progress = [&](std::size_t i, std::size_t n, const std::string&) {
    positions.push_back(i);
    EXPECT_EQ(n, 4u);
  };
  testsupport::writeFile(out() / app::kMessageFileName, "alt\r\n");
  const auto s = run({"12300100001", "12300100002", "12300100003", "12300100004"});
  EXPECT_EQ(s.selected, 4u);
  EXPECT_EQ(s.polygons, 3u);
  EXPECT_EQ(s.coverSheets, 3u);
  EXPECT_EQ(s.reports, 5u);
  EXPECT_EQ(s.skippedUntyped, 1u);  // the sheet without a type
  EXPECT_TRUE(s.failed.empty());
  EXPECT_TRUE(s.failedCoverSheets.empty());
  EXPECT_FALSE(s.cancelled || s.aborted);
  EXPECT_EQ(positions, (std::vector<std::size_t>{1, 2, 4}));
  for (const char* f : {"12300100001Deckblatt", "123001000011GN-Report", "123001000012GT-Report",
                        "12300100002Deckblatt", "123001000021F-Report", "123001000022F-Report",
                        "12300100004Deckblatt", "123001000041F-Report"})
    EXPECT_TRUE(std::filesystem::exists(reportFile(f))) << f;
  EXPECT_FALSE(std::filesystem::exists(reportFile("12300100003Deckblatt")));
  // A run without problems removes the old message file.
  EXPECT_FALSE(std::filesystem::exists(out() / app::kMessageFileName));
  read(reportFile("123001000021F-Report"));
  EXPECT_EQ(mark("NAME"), "Mühlbachtal");
}

TEST_F(ReportRunTest, Run_SkipCopiesLeavesOutWholePolygon) {
  const auto s = run({"12300100001", "12300100002", "12300100004"}, true);
  EXPECT_EQ(s.skippedCopies, 1u);
  EXPECT_EQ(s.coverSheets, 2u);
  EXPECT_EQ(s.reports, 3u);
  EXPECT_FALSE(std::filesystem::exists(reportFile("12300100002Deckblatt")));
  EXPECT_FALSE(std::filesystem::exists(reportFile("123001000022F-Report")));  // not a copy itself
  EXPECT_TRUE(std::filesystem::exists(reportFile("123001000041F-Report")));   // "2" is no skip
  const auto all = run({"12300100002"}, false);
  EXPECT_EQ(all.reports, 2u);
}

TEST_F(ReportRunTest, Run_CancelFinishesPolygonInWorkAndStopsBeforeNext) {
  callbacks_.progress = [&](std::size_t, std::size_t, const std::string&) { cancel_ = true; };
  const auto s = run({"12300100001", "12300100003", "12300100002"});
  EXPECT_TRUE(s.cancelled);
  EXPECT_EQ(s.coverSheets, 1u);
  EXPECT_EQ(s.reports, 2u);
  EXPECT_EQ(s.skippedUntyped, 1u);  // the untyped code after it is still looked at
  EXPECT_FALSE(std::filesystem::exists(reportFile("12300100002Deckblatt")));
}

TEST_F(ReportRunTest, Run_StoringProblemGoesToMessageFile) {
  std::filesystem::create_directories(out() / "Report");
  testsupport::writeFile(out() / "Report" / ".~lock.12300100004Deckblatt.docx#", "lock");
  const auto s = run({"12300100004"});
  EXPECT_EQ(s.failedCoverSheets, std::vector<std::string>{"12300100004"});
  EXPECT_EQ(s.reports, 1u);
  ASSERT_EQ(s.messages.size(), 1u);
  EXPECT_EQ(testsupport::readFile(out() / app::kMessageFileName), s.messages[0] + "\r\n");
  ASSERT_FALSE(ui().boxes.empty());
  EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Warning);
}

TEST_F(ReportRunTest, Run_MalformedCodeIsSkippedNamedAndTheRestGenerated) {
  writeDatabase(
      {{"GBogen",
        {{{"GBCODE", "ABC001000011"}, {"GBBOGEN", "F"}, {"GBPOLYGON", "12300100001"}},
         {{"GBCODE", "123001000011"}, {"GBBOGEN", "GN"}, {"GBPOLYGON", "12300100001"}}}}});
  const auto s = run({"12300100001"});
  EXPECT_FALSE(s.aborted);
  // The rest is generated (its head lacks the area, which this database does not hold).
  EXPECT_EQ(s.reports + s.incomplete.size(), 1u) << testing::PrintToString(s.messages);
  EXPECT_TRUE(std::filesystem::exists(reportFile("123001000011GN-Report")));
  const std::string skipped =
      "Der Geländebogen 'ABC001000011' (Bogentyp F) wurde übersprungen: die Bogennummer besteht "
      "nicht aus genau 12 Ziffern.";
  EXPECT_EQ(testsupport::readFile(out() / app::kMessageFileName).find(skipped), 0u);
  EXPECT_TRUE(logged("D3 FfhReportGetBogen: Warnung! " + skipped));
}

// Only what changed: a second run leaves every document and its polygon's PDF-Mappe; a changed
// row of a sheet's type table makes its report and the Mappe again, nothing else; a changed
// shapefile makes every cover sheet again.
TEST_F(ReportRunTest, ChangedOnly_DocumentsAndMappenFollowTheirInputs) {
  std::vector<std::filesystem::path> mappen;
  callbacks_.dossier = [&](const auto& documents, const std::filesystem::path& target) {
    mappen.push_back(target);
    testsupport::writeFile(target, std::to_string(documents.size()));
    return print::DossierOutcome{true, "", {}};
  };
  const std::vector<std::string> codes{"12300100001", "12300100002"};
  auto changedOnly = [&] {
    connect();
    return report::runReports(word::programContext(*db_), codes, false, cancel_, callbacks_, 1,
                              true);
  };
  run(codes);
  ASSERT_EQ(mappen.size(), 2u);
  const auto quiet = changedOnly();
  EXPECT_EQ(quiet.unchanged, 6u);  // two cover sheets, four reports
  EXPECT_EQ(quiet.coverSheets + quiet.reports + quiet.polygons, 0u);
  EXPECT_EQ(report::summaryLine(quiet),
            "0 Deckblätter und 0 Datenreports für 0 Polygone erstellt, 6 unverändert");
  EXPECT_EQ(mappen.size(), 2u);

  tables_["bgg"] = {{{"GBCODE", "123001000011"}, {"NUTZUNG", "Mahd"}}};
  writeDatabase(tables_);
  const auto row = changedOnly();
  EXPECT_EQ(row.reports, 1u);
  EXPECT_EQ(row.coverSheets, 0u);
  EXPECT_EQ(row.unchanged, 5u);
  ASSERT_EQ(mappen.size(), 3u);
  EXPECT_EQ(mappen.back().filename(), "12300100001Dossier.pdf");
  EXPECT_EQ(testsupport::readFile(mappen.back()), "3");  // the cover sheet and both reports

  writeShapefile(
      {{"12300100001", "600", {square(0, 0, 100)}}, {"12300100002", "700", {square(100, 0, 100)}}});
  const auto shape = changedOnly();
  EXPECT_EQ(shape.coverSheets, 2u);
  EXPECT_EQ(shape.reports, 0u);
  EXPECT_EQ(mappen.size(), 5u);
}

// What a report and a cover sheet read of the survey is what their inputs name.
TEST_F(ReportRunTest, DocumentInputs_NameEveryTableAReportOrCoverSheetReads) {
  auto tablesOf = [](const std::vector<sheets::SurveyPart>& parts) {
    std::set<std::string> named;
    for (const auto& part : parts) {
      std::string lower = part.table;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      named.insert(lower);
    }
    return named;
  };
  std::vector<std::string> messages;
  connect();
  ASSERT_TRUE(report::generateReport("123001000011GN", word::programContext(*db_), messages));
  auto named = tablesOf(sheets::reportParts("123001000011GN", *db_));
  for (const auto& table : db_->loadedTables()) EXPECT_TRUE(named.count(table)) << table;
  connect();
  ASSERT_TRUE(report::generateCoverSheet("12300100001", "GN,GT", word::programContext(*db_),
                                         messages, false, ""));
  named = tablesOf(sheets::coverSheetParts("12300100001", *db_));
  for (const auto& table : db_->loadedTables()) EXPECT_TRUE(named.count(table)) << table;
}

TEST_F(ReportRunTest, SelectPolygons_ExistingPolygonsOnceWithPartsFolded) {
  writeDatabase({{"GBogen",
                  {{{"GBCODE", "123001000011"}, {"GBBOGEN", "GN"}},
                   {{"GBCODE", "123001000012"}, {"GBBOGEN", "GT"}},
                   {{"GBCODE", "123001000021"}, {"GBBOGEN", "F"}},
                   {{"GBCODE", "456001000011"}, {"GBBOGEN", "F"}},
                   {{"GBCODE", "456002000031"}, {"GBBOGEN", "F"}}}}});
  auto sel = report::selectPolygons(*db_, {{"123", "456"}, {"001"}, {"00001", "00009"}});
  EXPECT_EQ(sel.status, 100);
  EXPECT_EQ(sel.codes, (std::vector<std::string>{"12300100001", "45600100001"}));
  EXPECT_EQ(sel.unknownPolygons, std::vector<std::string>{"00009"});
  // Only polygons that have sheets below their own area and sub-area, not every combination
  // of the three lists (which would grow as areas × sub-areas × polygon numbers).
  sel = report::selectPolygons(*db_, {});
  EXPECT_EQ(sel.codes,
            (std::vector<std::string>{"12300100001", "12300100002", "45600100001", "45600200003"}));
  EXPECT_TRUE(sel.unknownAreas.empty() && sel.unknownSubAreas.empty());
}

}  // namespace
