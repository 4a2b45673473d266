#include "sheets/clean_copy_run.h"

#include <unistd.h>

#include "app/output_folder_lock.h"
#include "sheets/generation_fixture.h"
#include "word/run_context.h"

namespace {

class CleanCopyRunTest : public testsupport::GenerationFixture {
 protected:
  sheets::Selection selectAll() {
    sheets::Restrictions r;
    for (const char* t : {"F", "GN", "GT", "H", "K", "M", "S", "T", "W", "X"})
      r.sheetTypes.add(t, t);
    return sheets::selectSheets(database_, r);
  }
};

// Every selected sheet is made but one open in another program, which goes to the message file
// and a warning.
TEST_F(CleanCopyRunTest, Run_ProducesEverySelectedSheetButOneOpenElsewhere) {
  const auto selection = selectAll();
  ASSERT_EQ(selection.status, 100);
  EXPECT_EQ(sheets::selectionEntry("059001000011GN"), "059001000011_GN");
  const std::string locked = selection.keys.entries().front().first;
  std::filesystem::create_directories(documentOf(locked).parent_path());
  testsupport::writeFile(documentOf(locked).parent_path() / (".~lock." + locked + ".docx#"), "x");
  std::atomic<bool> cancel{false};
  std::vector<std::string> seen;
  sheets::RunCallbacks callbacks;
  callbacks.progress = [&](std::size_t, std::size_t, const std::string& key) {
    seen.push_back(key);
  };
  const auto summary = sheets::runCleanCopies(word::programContext(database_), selection.keys,
                                              false, false, cancel, callbacks);
  EXPECT_EQ(summary.produced, selection.keys.size() - 1);
  EXPECT_EQ(seen.size(), selection.keys.size());
  for (const auto& [key, item] : selection.keys)
    EXPECT_EQ(std::filesystem::exists(documentOf(key)), key != locked) << key;
  ASSERT_EQ(summary.failed, std::vector<std::string>{locked});
  ASSERT_EQ(summary.messages.size(), 1u);
  EXPECT_EQ(testsupport::readFile(out_ / "MessageReport.txt"), summary.messages[0] + "\r\n");
  ASSERT_FALSE(ui().boxes.empty());
  EXPECT_EQ(ui().boxes.back().icon, app::MessageIcon::Warning);
}

// Cancel with one and with two workers: every sheet started (its progress shown) is finished,
// none is started after; one worker stops right after the sheet in work.
class CleanCopyCancelTest : public CleanCopyRunTest,
                            public ::testing::WithParamInterface<unsigned> {};

TEST_P(CleanCopyCancelTest, Run_CancelFinishesSheetsInWorkAndStartsNoOther) {
  const auto selection = selectAll();
  std::atomic<bool> cancel{false};
  std::size_t started = 0;
  sheets::RunCallbacks callbacks;
  callbacks.progress = [&](std::size_t, std::size_t, const std::string&) {
    if (++started == 2) cancel = true;  // pressed while the second sheet is in work
  };
  const auto summary = sheets::runCleanCopies(word::programContext(database_), selection.keys,
                                              false, false, cancel, callbacks, GetParam());
  EXPECT_TRUE(summary.cancelled);
  EXPECT_EQ(summary.produced, started);
  if (GetParam() == 1) {
    EXPECT_EQ(started, 2u);
  }
  EXPECT_LT(started, selection.keys.size());
  std::size_t files = 0;
  for (const auto& [key, item] : selection.keys) files += std::filesystem::exists(documentOf(key));
  EXPECT_EQ(files, started);
}

INSTANTIATE_TEST_SUITE_P(Workers, CleanCopyCancelTest, ::testing::Values(1u, 2u));

TEST_F(CleanCopyRunTest, Run_SkipCopiesLeavesOutKindsThreeAndFour) {
  const auto selection = selectAll();
  std::atomic<bool> cancel{false};
  const auto summary =
      sheets::runCleanCopies(word::programContext(database_), selection.keys, true, false, cancel);
  data::Recordset copies;
  ASSERT_TRUE(database_.GetRecordset(
      0, "SELECT GBCODE FROM gbogen WHERE GBKOPIE='3' OR GBKOPIE='4'", copies));
  ASSERT_GT(copies.RecordCount(), 0u);
  EXPECT_GE(summary.skippedCopies, copies.RecordCount());
  EXPECT_EQ(summary.produced + summary.skippedCopies, selection.keys.size());
}

TEST_F(CleanCopyRunTest, Run_EmptySelectionTellsUserAndRemovesOldMessageFile) {
  testsupport::writeFile(out_ / "MessageReport.txt", "alt\r\n");
  std::atomic<bool> cancel{false};
  const auto summary = sheets::runCleanCopies(word::programContext(database_), data::TextSet(),
                                              false, false, cancel);
  EXPECT_EQ(summary.produced, 0u);
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_EQ(ui().boxes[0].icon, app::MessageIcon::Information);
  EXPECT_EQ(ui().boxes[0].text, "Für die ausgewählte Kombination existiert kein Geländebogen.");
  EXPECT_FALSE(std::filesystem::exists(out_ / "MessageReport.txt"));
}

// A second run in an output folder another run works in is refused before it touches anything:
// the other run's message file and temporary files stay, the window leaves run mode first. A
// link planted at the lock's name is not followed: it refuses the run too.
TEST_F(CleanCopyRunTest, Run_RefusedAtOnceWhileAnotherRunHoldsTheOutputFolder) {
  const auto selection = selectAll();
  testsupport::writeFile(out_ / "MessageReport.txt", "der andere Lauf\r\n");
  const std::filesystem::path inFlight =
      out_ / (".quelbrix-tmp-" + std::to_string(getppid()) + "-abcdef-MessageReport.txt");
  testsupport::writeFile(inFlight, "x");
  std::atomic<bool> cancel{false};
  int finished = 0;
  sheets::RunCallbacks callbacks;
  callbacks.finished = [&](const sheets::RunSummary&) { ++finished; };
  auto runOnce = [&] {
    return sheets::runCleanCopies(word::programContext(database_), selection.keys, false, false,
                                  cancel, callbacks);
  };
  sheets::RunSummary summary;
  {
    const app::OutputFolderLock other(out_);
    summary = runOnce();
  }
  EXPECT_TRUE(summary.cancelled && summary.produced == 0 && finished == 1);
  ASSERT_EQ(ui().boxes.size(), 1u);
  EXPECT_EQ(ui().boxes[0].icon, app::MessageIcon::Error);
  EXPECT_EQ(ui().boxes[0].text, summary.refused);
  EXPECT_EQ(summary.refused.rfind("Im Ausgabeordner " + out_.string() + " erzeugt bereits", 0), 0u);
  EXPECT_EQ(testsupport::readFile(out_ / "MessageReport.txt"), "der andere Lauf\r\n");
  EXPECT_TRUE(std::filesystem::exists(inFlight));
  for (const auto& [key, item] : selection.keys)
    EXPECT_FALSE(std::filesystem::exists(documentOf(key)));
  std::filesystem::create_symlink(inFlight, out_ / ".quelbrix-lock");
  EXPECT_NE(runOnce().refused.find(".quelbrix-lock ist keine gewöhnliche Datei"),
            std::string::npos);
  EXPECT_EQ(testsupport::readFile(inFlight), "x");
}

}  // namespace
