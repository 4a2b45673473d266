#pragma once
// The command line in German: CLI11's help headings and help flag, the reasons it gives for a
// wrong call, and a number check that says in German what it wants.

#include <CLI/CLI.hpp>
#include <limits>
#include <string>

namespace cli {

// Before options and commands are added: they take the help flag and option heading from app.
void speakGerman(CLI::App& app);
// After the commands are added: their heading in the help.
void headCommands(CLI::App& app);

// What a wrong call is told, ending with the help command of the command it was meant for.
std::string wrongCallText(const CLI::App& app, const CLI::Error& error);

// Accepts a whole number from min to max (its option is best typed "ZAHL": the help shows the
// type and this check as "ZAHL:1 bis 256").
CLI::Validator wholeNumber(unsigned min, unsigned max = std::numeric_limits<unsigned>::max());

}  // namespace cli
