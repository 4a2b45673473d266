// A wrong call is told in German, with the help command of the command it was meant for, and
// answers 2; the help itself speaks German, placeholders included.

#include "support/cli_fixture.h"

namespace {

using CliWording = testsupport::CliFixture;

TEST_F(CliWording, run_wrongCall_explainsInGermanAndPointsToTheHelp) {
  struct Case {
    std::vector<std::string> args;
    const char* told;
  };
  const Case cases[] = {
      {{},
       "Es fehlt der Befehl (settings, check, list, sheets, report, sample-data, demo, gui).\n"
       "Hilfe: quelbrix --help\n"},
      {{"sheets", "--typ"}, "Unerwartet: --typ.\nHilfe: quelbrix sheets --help\n"},
      {{"sheets", "--types"}, "Bei --types fehlt der Wert.\nHilfe: quelbrix sheets --help\n"},
      {{"sheets", "-j", "0"},
       "Ungültiger Wert für --jobs: 0 ist keine ganze Zahl von 1 bis 256.\n"
       "Hilfe: quelbrix sheets --help\n"},
      {{"report", "--print-timeout", "10s"},
       "Ungültiger Wert für --print-timeout: 10s ist keine ganze Zahl ab 1.\n"
       "Hilfe: quelbrix report --help\n"},
      {{"sample-data"}, "Es fehlt die Angabe ORDNER.\nHilfe: quelbrix sample-data --help\n"},
      {{"check", "--csv", "x.csv"}, "--csv gilt nur mit --data.\nHilfe: quelbrix check --help\n"},
      {{"shets"}, "Unbekannter Befehl: shets. Meinten Sie sheets?\nHilfe: quelbrix --help\n"},
      {{"--db", "/x", "reprot", "--all"},
       "Unbekannter Befehl: reprot. Meinten Sie report?\nHilfe: quelbrix --help\n"},
      {{"drucken"},
       "Unbekannter Befehl: drucken. Befehle: settings, check, list, sheets, report, "
       "sample-data, demo, gui.\nHilfe: quelbrix --help\n"},
      {{"-q", "-v", "check"},
       "--quiet und --verbose schließen einander aus.\nHilfe: quelbrix --help\n"},
      {{"list", "--format", "csv"},
       "Ungültiger Wert für --format: csv ist weder text noch tsv.\n"
       "Hilfe: quelbrix list --help\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.told);
    EXPECT_EQ(run(c.args), 2);
    EXPECT_EQ(err_.str(), c.told);
    EXPECT_EQ(out_.str(), "");
  }
}

TEST_F(CliWording, run_help_hasGermanHeadingsAndNoCli11English) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"},
                                               {"sheets", "--help"},
                                               {"sample-data", "--help"},
                                               {"check", "--help"}}) {
    SCOPED_TRACE(args.front());
    EXPECT_EQ(run(args), 0);
    const std::string help = out_.str();
    EXPECT_NE(help.find("Aufruf: quelbrix"), std::string::npos) << help;
    EXPECT_NE(
        help.find("Optionen:\n  -h,--help                   diese Hilfe anzeigen und beenden"),
        std::string::npos)
        << help;
    for (const char* english : {"Usage", "Options", "Subcommands", "Positionals", "REQUIRED", "INT",
                                "TEXT", "Print this", "Excludes", "Needs"})
      EXPECT_EQ(help.find(english), std::string::npos) << english << "\n" << help;
  }
  // German placeholders, the descriptions lined up also behind an umlaut.
  EXPECT_EQ(run({"--help"}), 0);
  EXPECT_NE(out_.str().find("  --db ORDNER                 Ordner der DBF"), std::string::npos);
  EXPECT_EQ(run({"settings", "--help"}), 0);
  EXPECT_NE(out_.str().find("[SCHLÜSSEL] [WERT]"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("\n  SCHLÜSSEL                   Name"), std::string::npos)
      << out_.str();
}

}  // namespace
