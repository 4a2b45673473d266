// A wrong call is told in German, with the help command of the command it was meant for; the
// help itself speaks German.

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
      {{"sample-data"}, "Es fehlt die Angabe dir.\nHilfe: quelbrix sample-data --help\n"},
      {{"check", "--csv", "x.csv"}, "--csv gilt nur mit --data.\nHilfe: quelbrix check --help\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.told);
    EXPECT_NE(run(c.args), 0);
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
                                "Print this", "Needs"})
      EXPECT_EQ(help.find(english), std::string::npos) << english << "\n" << help;
  }
}

}  // namespace
