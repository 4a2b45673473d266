// The generating commands as a user runs them, on a sample database with the real templates.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <regex>
#include <sstream>
#include <string_view>

#include "app/document_manifest.h"
#include "app/output_folder_lock.h"
#include "app/resource_folder.h"
#include "app/settings.h"
#include "cli/cli_app.h"
#include "sample/sample_database.h"
#include "support/cli_fixture.h"
#include "support/shell.h"
#include "word/docx/document.h"
#include "word/same_documents.h"

using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;

class CliRunTest : public testsupport::CliFixture {
 protected:
  void SetUp() override {
    fs::create_directories(dir_.path() / "res" / "data");
    fs::copy(QUELBRIX_TEMPLATE_DIR, dir_.path() / "res" / "Templates");
    sample::writeUmlautTable(dir_.path() / "res" / "data" / "umlaute2.dbf");
    app::setResourceFolder(dir_.path() / "res");
    fs::create_directories(dir_.path() / "out");
    ASSERT_EQ(run({"sample-data", (dir_.path() / "db").string(), "--polygons", "12"}), 0);
  }
  void TearDown() override { app::setResourceFolder({}); }

  std::vector<std::string> with(const std::vector<std::string>& tail) const {
    return folders(dir_.path() / "db", dir_.path() / "db/shape/ffh_flaechen.shp", tail);
  }
  std::size_t files(const fs::path& folder, const std::string& suffix) const {
    std::size_t n = 0;
    for (const auto& e : fs::recursive_directory_iterator(folder))
      n += e.path().string().ends_with(suffix);
    return n;
  }
};

// A console on which the user presses Ctrl-C when the second sheet's progress line appears.
class InterruptingConsole : public std::stringbuf {
 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (std::string_view(s, static_cast<std::size_t>(n)).find("Generiere") !=
            std::string_view::npos &&
        ++lines_ == 2)
      std::raise(SIGINT);
    return std::stringbuf::xsputn(s, n);
  }

 private:
  int lines_ = 0;
};

TEST_F(CliRunTest, Sheets_Cancelled_EndsAfterTheSheetInWorkAndAnswersOne) {
  InterruptingConsole console;
  std::ostream err(&console);
  std::vector<std::string> args = with({"sheets", "--all", "--yes", "--jobs", "1"});
  args.insert(args.begin(), "--verbose");  // a progress line per sheet, also off a terminal
  const int status = cli::run(args, std::make_unique<app::MemorySettings>(), out_, err);
  EXPECT_EQ(status, 1);
  EXPECT_THAT(out_.str(), HasSubstr("2 von "));
  EXPECT_THAT(out_.str(), HasSubstr("Der Lauf wurde abgebrochen."));
  EXPECT_EQ(files(dir_.path() / "out", ".docx"), 2u);
}

TEST_F(CliRunTest, Sheets_WithCoverPutsCoverSheetBesideEachSheet) {
  ASSERT_EQ(run(with({"sheets", "--types", "K", "--cover", "--yes"})), 0) << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr(" ausgewählt."));
  const auto k = dir_.path() / "out" / "K";
  const std::size_t sheets = files(k, "K.docx");
  EXPECT_GT(sheets, 0u);
  EXPECT_EQ(files(k, "Deckblatt.docx"), sheets);
  // Again with --changed: nothing is made, the sheets are counted unchanged.
  ASSERT_EQ(run(with({"sheets", "--types", "K", "--cover", "--yes", "--changed"})), 0);
  EXPECT_THAT(out_.str(), HasSubstr("0 von " + std::to_string(sheets) + " Geländebögen erstellt, " +
                                    std::to_string(sheets) + " unverändert in "));
  // In a folder without a list of documents everything is made, and the run says so.
  fs::remove(dir_.path() / "out" / app::kManifestFileName);
  ASSERT_EQ(run(with({"sheets", "--types", "K", "--yes", "--changed"})), 0);
  EXPECT_THAT(out_.str(), HasSubstr("Im Ausgabeordner liegt noch keine Liste der erstellten "
                                    "Dokumente: alle Dokumente werden erstellt.\n" +
                                    std::to_string(sheets) + " von "));
}

// The count in the singular, the sheets named only with --list, nothing but the summary with
// --quiet, and the output folder last.
TEST_F(CliRunTest, Sheets_OneSheetListedOnlyWhenAskedAndOutputFolderLast) {
  ASSERT_EQ(run(with({"list", "--format", "tsv"})), 0);
  std::istringstream rows(out_.str());
  std::string header, area, sub, polygon, part, type;
  std::getline(rows, header);
  rows >> area >> sub >> polygon >> part >> type;
  const std::vector<std::string> one = {"sheets",       "--types",    type, "--areas",
                                        area,           "--subareas", sub,  "--polygons",
                                        polygon + part, "--yes"};
  const std::string folder = "Ausgabeordner: " + (dir_.path() / "out").string() + "\n";
  ASSERT_EQ(run(with(one)), 0) << err_.str();
  EXPECT_EQ(out_.str().rfind("Es wurde 1 Geländebogen ausgewählt.\n1 von 1 ", 0), 0u) << out_.str();
  EXPECT_TRUE(out_.str().ends_with(folder)) << out_.str();
  auto listed = one;
  listed.push_back("--list");
  ASSERT_EQ(run(with(listed)), 0);
  EXPECT_THAT(out_.str(), HasSubstr("\n" + area + sub + polygon + part + "_" + type + "\n"));
  auto quiet = with(one);
  quiet.insert(quiet.begin(), "-q");
  ASSERT_EQ(run(quiet), 0);
  EXPECT_EQ(out_.str().rfind("1 von 1 ", 0), 0u) << out_.str();
  EXPECT_EQ(err_.str(), "");
}

// A sample written by the real writers, with one input damaged: the run carries on, but counts
// the documents that lack a part as incomplete, names file and cause, and answers 1; every
// document it leaves opens.
struct InputDamage {
  const char* name;
  const char* file;  // below the sample folder
  std::size_t keep;  // bytes kept (the file is cut there), npos: removed
  const char* command;
  const char* cause;  // part of the message file's line
};

class CliDamagedInput : public CliRunTest, public ::testing::WithParamInterface<InputDamage> {};

TEST_P(CliDamagedInput, RunCountsDocumentsIncompleteAndNamesTheCause) {
  const InputDamage& d = GetParam();
  const fs::path file = dir_.path() / "db" / d.file;
  if (d.keep == std::string::npos)
    fs::remove(file);
  else
    fs::resize_file(file, d.keep);
  const auto args = std::string(d.command) == "report" ? with({"report", "--all"})
                                                       : with({"sheets", "--types", "GN", "--yes"});
  EXPECT_EQ(run(args), 1) << out_.str() << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr("unvollständig"));
  const std::string messages = testsupport::readFile(dir_.path() / "out" / "MessageReport.txt");
  EXPECT_THAT(messages, HasSubstr("ist unvollständig"));
  EXPECT_THAT(messages, HasSubstr(d.cause));
  for (const auto& e : fs::recursive_directory_iterator(dir_.path() / "out")) {
    if (e.path().extension() == ".docx") {
      EXPECT_NO_THROW(docx::Document::open(e.path())) << e.path();
    }
  }
  EXPECT_EQ(files(dir_.path() / "db", ".tmp"), 0u);
  EXPECT_FALSE(fs::exists(dir_.path() / "db" / "shape" / "xxx_temp.dbf"));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CliDamagedInput,
    ::testing::Values(InputDamage{"EmptiedMemo", "anmerk.dbt", 0, "sheets", "anmerk.dbt"},
                      InputDamage{"MissingMemo", "anmerk.dbt", std::string::npos, "sheets",
                                  "Memodatei"},
                      InputDamage{"CutPolygone", "polygone.dbf", 40, "sheets", "polygone.dbf"},
                      InputDamage{"CutArtenbew", "artenbew.dbf", 40, "sheets", "artenbew.dbf"},
                      InputDamage{"CutPflanzen", "pflanzen.dbf", 40, "sheets", "pflanzen.dbf"},
                      InputDamage{"CutSecondTable", "bgg2.dbf", 40, "sheets", "bgg2.dbf"},
                      InputDamage{"CutBiotopeTypes", "biottyp.dbf", 40, "report", "biottyp.dbf"},
                      InputDamage{"EmptyShapefile", "shape/ffh_flaechen.shp", 100, "report",
                                  "hinter das Ende der shp-Datei"}),
    [](const auto& info) { return std::string(info.param.name); });

// `check --data`: the sample as written has nothing to report; the messy one has errors, its
// shapefile named in capitals found with its .SHX and .DBF; a folder that is not there cannot be
// checked at all. The file holds every finding, the console the first.
TEST_F(CliRunTest, CheckData_ExitStatusConsoleAndFile) {
  const fs::path csv = dir_.path() / "befunde.csv";
  const std::string header = "\xEF\xBB\xBFSchwere;Prüfung;Tabelle;Datensatz;Schlüssel;Meldung\r\n";
  EXPECT_EQ(run(with({"check", "--data", "--csv", csv.string()})), 0) << out_.str() << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr("\n0 Fehler, 0 Warnungen, 0 Hinweise.\n"));
  EXPECT_EQ(testsupport::readFile(csv), header);

  const fs::path messy = dir_.path() / "messy";
  ASSERT_EQ(run({"sample-data", messy.string(), "--polygons", "20", "--messy"}), 0);
  EXPECT_EQ(run(folders(messy, messy / "shape/FFH_FLAECHEN.SHP",
                        {"check", "--data", "--csv", csv.string()})),
            1);
  const std::string rows = testsupport::readFile(csv);
  EXPECT_EQ(rows.rfind(header, 0), 0u);
  EXPECT_THAT(rows, HasSubstr("\r\nFehler;Selbstüberschneidung;FFH_FLAECHEN.SHP;"));
  EXPECT_THAT(rows, HasSubstr("\r\nWarnung;Fläche weicht ab;FFH_FLAECHEN.DBF;"));
  EXPECT_THAT(rows, ::testing::Not(HasSubstr("Shapefile fehlt")));
  const auto lines = static_cast<std::size_t>(std::count(rows.begin(), rows.end(), '\n'));
  EXPECT_THAT(out_.str(), HasSubstr("Alle " + std::to_string(lines - 1) + " Befunde stehen in"));
  EXPECT_THAT(out_.str(), HasSubstr("Befunde (die ersten 20):\nFehler: "));

  EXPECT_EQ(
      run(folders(dir_.path() / "nowhere", messy / "shape/FFH_FLAECHEN.SHP", {"check", "--data"})),
      2);
  EXPECT_THAT(err_.str(), HasSubstr("existiert nicht"));
}

TEST_F(CliRunTest, Sheets_UnusableTemplateMakesNoDocumentOfItsType) {
  testsupport::writeFile(dir_.path() / "res" / "Templates" / "TemplateBogenV2GN.dotx", "PK");
  EXPECT_EQ(run(with({"sheets", "--types", "GN,K", "--yes"})), 1);
  EXPECT_FALSE(fs::exists(dir_.path() / "out" / "GN"));
  EXPECT_GT(files(dir_.path() / "out" / "K", "K.docx"), 0u);
  const std::string messages = testsupport::readFile(dir_.path() / "out" / "MessageReport.txt");
  EXPECT_THAT(messages, HasSubstr("TemplateBogenV2GN.dotx ist unbrauchbar"));
}

TEST_F(CliRunTest, Demo_WritesSampleAndEveryDocument) {
  const auto work = dir_.path() / "demo-work";
  const auto out = dir_.path() / "demo-output";
  ASSERT_EQ(run({"demo", "--work", work.string(), "--out", out.string()}), 0) << err_.str();
  EXPECT_TRUE(fs::exists(work / "survey" / "shape" / "ffh_flaechen.shp"));
  EXPECT_EQ(files(out / "Report", "Deckblatt.docx"), 60u);
  EXPECT_GT(files(out / "Report", "-Report.docx"), 60u);
  EXPECT_FALSE(fs::exists(out / "MessageReport.txt"));
  EXPECT_GT(files(out, "GN.docx"), 0u);
  EXPECT_TRUE(fs::exists(out / "FehlerReport2.log"));
  EXPECT_THAT(out_.str(), HasSubstr("Fehlerprotokoll: " + (out / "FehlerReport2.log").string()));
}

// The same run with one and with several workers, on a survey as offices keep it (unmarked code
// page, malformed codes, a sheet without its rows): the same documents with the same contents,
// the same message file and the same report on the console.
class CliJobs : public CliRunTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CliJobs, SeveralWorkersMakeWhatOneMakes) {
  const fs::path db = dir_.path() / "messy";
  ASSERT_EQ(run({"sample-data", db.string(), "--polygons", "20", "--messy"}), 0) << err_.str();
  struct Outcome {
    int status;
    std::string out, err;
  };
  auto runWith = [&](const std::string& jobs) {
    const fs::path out = dir_.path() / ("out" + jobs);
    fs::create_directories(out);
    std::vector<std::string> args = {
        "--db",  db.string(),  "--shape", (db / "shape/FFH_FLAECHEN.SHP").string(),
        "--out", out.string(), "--log"};
    std::istringstream command(GetParam());
    for (std::string word; command >> word;) args.push_back(word);
    args.insert(args.end(), {"--jobs", jobs});
    const int status = run(args);
    // Only the elapsed time, the output folder and the order of the progress lines (one per
    // document as a worker starts it) may differ.
    static const std::regex varying(R"( in \d+:\d+(:\d+)?|/out\d\b)");
    auto same = [&](const std::string& text) {
      std::istringstream lines(std::regex_replace(text, varying, ""));
      std::vector<std::string> progress;
      std::string rest;
      for (std::string line; std::getline(lines, line);)
        (line.rfind("Generiere ", 0) == 0 ? progress.push_back(line) : void(rest += line + "\n"));
      std::sort(progress.begin(), progress.end());
      for (const auto& line : progress) rest += line + "\n";
      return rest;
    };
    return Outcome{status, same(out_.str()), same(err_.str())};
  };
  const Outcome one = runWith("1");
  EXPECT_THAT(one.out, HasSubstr(" erstellt"));
  EXPECT_NE(one.err, "");  // the malformed codes are named
  for (const std::string jobs : {"2", "4"}) {
    const Outcome many = runWith(jobs);
    EXPECT_EQ(many.status, one.status) << jobs;
    EXPECT_EQ(many.out, one.out) << jobs;
    EXPECT_EQ(many.err, one.err) << jobs;
    EXPECT_EQ(testsupport::documentDifference(dir_.path() / "out1", dir_.path() / ("out" + jobs)),
              "")
        << jobs;
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, CliJobs,
                         ::testing::Values("sheets --all --cover --yes", "report --all"));

// The program as users start it from a shell, on one output folder: a run is refused up front
// while another holds the folder, naming it; two runs started at once both end with all their
// documents (or one is refused); output piped into a program that has ended (`| true`, as with
// `| head`) does not end the run.
TEST_F(CliRunTest, Program_TwoRunsAtOnceAndClosedPipeLoseNoDocument) {
  const std::string at = dir_.path().string() + "/";
  // "(quelbrix ... sheets ... > out-NAME 2> err-NAME; echo $? > status-NAME)"
  auto command = [&](const std::string& folder, const std::string& name) {
    return "(XDG_CONFIG_HOME=" + at + "config " QUELBRIX_CLI_BINARY " --db " + at + "db --shape " +
           at + "db/shape/ffh_flaechen.shp --out " + at + folder + " sheets --all --yes -j 2" +
           (name == "pipe" ? "" : " > " + at + "out-" + name) + " 2> " + at + "err-" + name +
           "; echo $? > " + at + "status-" + name + ")";
  };
  {
    const app::OutputFolderLock other(dir_.path() / "out");
    testsupport::runCommand(command("out", "held"));
    EXPECT_EQ(testsupport::readFile(at + "status-held"), "1\n");
    EXPECT_THAT(testsupport::readFile(at + "err-held"),
                HasSubstr("erzeugt bereits ein anderer Lauf Dokumente (Prozess " +
                          std::to_string(getpid()) + ", gestartet "));
  }
  fs::create_directories(dir_.path() / "piped");
  testsupport::runCommand(command("out", "1") + " & " + command("out", "2") + "; wait; " +
                          command("piped", "pipe") + " | true");
  std::smatch selected;
  const std::string report =
      testsupport::readFile(at + "out-1") + testsupport::readFile(at + "out-2");
  ASSERT_TRUE(std::regex_search(report, selected, std::regex(R"(Es wurden (\d+) Geländeb)")));
  EXPECT_NE(testsupport::readFile(at + "status-1") + testsupport::readFile(at + "status-2"),
            "1\n1\n");
  EXPECT_EQ(testsupport::readFile(at + "status-pipe"), "0\n");  // not killed by SIGPIPE (141)
  for (const char* folder : {"out", "piped"}) {
    EXPECT_EQ(files(dir_.path() / folder, ".docx"), std::stoul(selected[1])) << folder;
    EXPECT_EQ(files(dir_.path() / folder, ".quelbrix-lock"), 0u) << folder;
  }
}

}  // namespace
