#include "sheets/clean_copy_run.h"

#include <unistd.h>

#include <algorithm>
#include <map>

#include "app/document_manifest.h"
#include "app/output_folder_lock.h"
#include "data/dbf/dbf_file.h"
#include "print/document_output.h"
#include "sheets/document_inputs.h"
#include "sheets/generation_fixture.h"
#include "sheets/mod_ffh_bogen.h"
#include "support/survey_fixture.h"
#include "word/docx/zip_archive.h"
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
  // A run on a connection of its own, which reads the tables as they are now.
  sheets::RunSummary runOn(const data::TextSet& keys, bool changedOnly, bool covers = false) {
    data::clsDBFData db;
    db.ValidFilePaths();
    db.ConnectDBDaten();
    std::atomic<bool> cancel{false};
    sheets::RunCallbacks callbacks;
    if (covers)
      callbacks.coverSheet = [](const std::string& polygon, const std::string&,
                                const word::RunContext& run, std::vector<std::string>& messages,
                                const std::string& folder) {
        // The sample's shapefile is empty: a stand-in written where the cover sheet would be.
        std::filesystem::create_directories(run.settings.get(app::kDataFilesPfad) + "/" + folder);
        testsupport::writeFile(
            word::clsWordDoc::documentFile(run.settings.get(app::kDataFilesPfad),
                                           polygon + "Deckblatt", 11, true, folder),
            polygon);
        (void)messages;
        return word::Result();
      };
    return sheets::runCleanCopies(word::programContext(db), keys, false, covers, cancel, callbacks,
                                  1, changedOnly);
  }
  // The 0-based record of table whose column holds value.
  uint32_t recordOf(const std::string& table, const std::string& column, const std::string& value) {
    const auto rows = data::dbf::DbfReader::open(db_ / table);
    for (uint32_t r = 0; r < rows.recordCount(); ++r) {
      const auto row = rows.record(r);
      for (std::size_t f = 0; f < rows.fields().size(); ++f)
        if (rows.fields()[f].name == column && row[f].toText() == value) return r;
    }
    ADD_FAILURE() << value << " not in " << table;
    return 0;
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

// Every run keeps the list of its documents; a run that makes only what changed makes exactly
// the documents whose rows, memo texts, template or settings changed, or whose files were
// deleted or saved by someone else, and counts the others as unchanged.
TEST_F(CleanCopyRunTest, ChangedOnly_RewritesExactlyTheDocumentsWhoseInputsChanged) {
  const auto selection = selectAll();
  const std::size_t all = selection.keys.size();
  auto stamps = [&] {
    std::map<std::string, std::optional<app::FileStamp>> s;
    for (const auto& [key, item] : selection.keys) s[key] = app::stampOf(documentOf(key));
    return s;
  };
  EXPECT_EQ(runOn(selection.keys, true).changedNotice,
            "Im Ausgabeordner liegt noch keine Liste der erstellten Dokumente: alle Dokumente "
            "werden erstellt.");
  auto before = stamps();
  const auto quiet = runOn(selection.keys, true);
  EXPECT_EQ(quiet.produced, 0u);
  EXPECT_EQ(quiet.unchanged, all);
  EXPECT_EQ(sheets::summaryLine(quiet), "0 von " + std::to_string(all) +
                                            " Geländebögen erstellt, " + std::to_string(all) +
                                            " unverändert");
  EXPECT_EQ(stamps(), before);

  const std::string gn = keyOf("GN"), t = keyOf("T"), w = keyOf("W");
  std::string remarked;  // a sheet with a remark
  for (const auto& [key, item] : selection.keys)
    if (remarked.empty() && database_.tableDigest("anmerk")->rowsOf("GBCODE", key.substr(0, 12)) !=
                                database_.tableDigest("anmerk")->rowsOf("GBCODE", "none"))
      remarked = key;
  ASSERT_FALSE(gn.empty() || t.empty() || w.empty() || remarked.empty());
  const auto templates = dir_.path() / "res" / "Templates";
  struct Change {
    const char* what;
    std::function<void()> apply;
    std::function<bool(const std::string&)> rewritten;
    std::function<void()> verify = [] {};
  };
  const Change changes[] = {
      {"a row of the sheet table",
       [&] {
         testsupport::changeValue(db_ / "GBogen.dbf",
                                  recordOf("GBogen.dbf", "GBCODE", gn.substr(0, 12)), "GBKARTIER",
                                  data::Value::text("Neu"));
       },
       [&](const std::string& k) { return k.substr(0, 12) == gn.substr(0, 12); }},
      {"a row of the sheet type's table",
       [&] {
         testsupport::changeValue(db_ / "bgw2.dbf", recordOf("bgw2.dbf", "GBCODE", w.substr(0, 12)),
                                  "VERJUENG", data::Value::text("Z"));
       },
       [&](const std::string& k) { return k == w; }},
      {"a memo text",
       [&] {
         testsupport::changeValue(db_ / "anmerk.dbf",
                                  recordOf("anmerk.dbf", "GBCODE", remarked.substr(0, 12)),
                                  "ANMERKUNG", data::Value::text("Neue Anmerkung"));
       },
       [&](const std::string& k) { return k.substr(0, 12) == remarked.substr(0, 12); }},
      {"the template of a type",
       [&] {
         auto parts =
             docx::readZip(testsupport::readFile(templates / "TemplateBogenV2T.dotx"), "T");
         for (auto& part : parts)
           if (part.name == "docProps/app.xml")
             part.data = std::make_shared<const std::string>(*part.data + " ");
         testsupport::writeFile(templates / "TemplateBogenV2T.dotx",
                                docx::writeZip(parts, docx::Packing::kSmall));
       },
       [&](const std::string& k) { return k.substr(12) == "T"; },
       [&] {  // made from the template as it is now, not as an earlier run read it
         for (const auto& part : docx::readZip(testsupport::readFile(documentOf(t)), t))
           if (part.name == "docProps/app.xml") {
             EXPECT_EQ(part.data->back(), ' ');
           }
       }},
      {"a deleted document", [&] { std::filesystem::remove(documentOf(gn)); },
       [&](const std::string& k) { return k == gn; }},
      {"a document saved again",
       [&] {
         std::filesystem::last_write_time(
             documentOf(t),
             std::filesystem::last_write_time(documentOf(t)) - std::chrono::hours(1));
       },
       [&](const std::string& k) { return k == t; }},
      {"the survey folder setting",
       [&] {
         std::filesystem::copy(db_, dir_.path() / "db2");
         settings().set(app::kDbfFilesPfad, (dir_.path() / "db2").string());
       },
       [](const std::string&) { return true; }},
  };
  for (const Change& change : changes) {
    change.apply();
    before = stamps();
    const auto summary = runOn(selection.keys, true);
    const auto after = stamps();
    std::size_t expected = 0;
    for (const auto& [key, item] : selection.keys) {
      expected += change.rewritten(key);
      EXPECT_EQ(after.at(key) != before.at(key), change.rewritten(key))
          << change.what << ": " << key;
    }
    EXPECT_EQ(summary.produced, expected) << change.what;
    EXPECT_EQ(summary.unchanged, all - expected) << change.what;
    change.verify();
  }
  // A damaged list is said once, and everything is made.
  testsupport::writeFile(out_ / app::kManifestFileName,
                         testsupport::readFile(out_ / app::kManifestFileName) + "x");
  const auto damaged = runOn(selection.keys, true);
  EXPECT_EQ(damaged.produced, all);
  EXPECT_NE(damaged.changedNotice.find("ist beschädigt: alle Dokumente werden neu erstellt."),
            std::string::npos);
  EXPECT_EQ(runOn(selection.keys, true).unchanged, all);
}

// With PDF copies, only the documents made again are handed to the conversion; a document whose
// PDF is missing is made and converted again.
TEST_F(CleanCopyRunTest, ChangedOnly_PdfCopiesFollowTheirDocuments) {
  const auto selection = selectAll();
  std::vector<std::string> converted;
  print::installPdfCopies([&](const std::filesystem::path& docx, std::string&) {
    converted.push_back(docx.stem().string());
    testsupport::writeFile(std::filesystem::path(docx).replace_extension(".pdf"), "%PDF");
    return true;
  });
  runOn(selection.keys, false);
  EXPECT_EQ(converted.size(), selection.keys.size());
  const std::string gn = keyOf("GN"), t = keyOf("T");
  testsupport::changeValue(db_ / "GBogen.dbf", recordOf("GBogen.dbf", "GBCODE", gn.substr(0, 12)),
                           "GBKARTIER", data::Value::text("Neu"));
  std::filesystem::remove(std::filesystem::path(documentOf(t)).replace_extension(".pdf"));
  converted.clear();
  const auto summary = runOn(selection.keys, true);
  print::installPdfCopies({});
  std::vector<std::string> expected;
  for (const auto& [key, item] : selection.keys)
    if (key.substr(0, 12) == gn.substr(0, 12) || key == t) expected.push_back(key);
  std::sort(converted.begin(), converted.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(converted, expected);
  EXPECT_EQ(summary.unchanged, selection.keys.size() - expected.size());
}

// A cover sheet made before its sheet stays with it; one deleted is made again alone.
TEST_F(CleanCopyRunTest, ChangedOnly_CoverSheetsFollowTheirInputs) {
  const auto selection = selectAll();
  runOn(selection.keys, false, true);
  const std::string gn = keyOf("GN");
  const auto cover =
      word::clsWordDoc::documentFile(out_.string(), gn.substr(0, 11) + "Deckblatt", 11, true, "GN");
  ASSERT_TRUE(std::filesystem::exists(cover));
  std::filesystem::remove(cover);
  const auto summary = runOn(selection.keys, true, true);
  EXPECT_EQ(summary.unchanged, selection.keys.size());
  EXPECT_TRUE(std::filesystem::exists(cover));
}

// What a document reads of the survey is what its inputs name: made on a connection of its own,
// it loads no other table.
TEST_F(CleanCopyRunTest, DocumentInputs_NameEveryTableADocumentReads) {
  for (const char* type : {"F", "GN", "K", "X"}) {
    data::clsDBFData db;
    db.ValidFilePaths();
    db.ConnectDBDaten();
    std::vector<std::string> messages;
    const std::string key = keyOf(type);
    ASSERT_TRUE(sheets::generateCleanCopy(key, word::programContext(db), messages));
    std::set<std::string> named;
    for (const auto& part : sheets::cleanCopyParts(key, db)) {
      std::string lower = part.table;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      named.insert(lower);
    }
    for (const auto& table : db.loadedTables())
      EXPECT_TRUE(named.count(table)) << key << ": " << table;
  }
}

}  // namespace
