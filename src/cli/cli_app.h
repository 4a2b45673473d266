#pragma once
// The `quelbrix` command line: global path options and the sub-commands.

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"

namespace cli {

// Runs the command line args (without the program name) on the given settings store; prints
// to out and err. Answers the exit status. Installs the program-wide objects for the run.
int run(const std::vector<std::string>& args, std::unique_ptr<app::Settings> store,
        std::ostream& out, std::ostream& err);

}  // namespace cli
