#include <clocale>
#include <csignal>
#include <iostream>

#include "app/memory_reuse.h"
#include "app/qsettings_store.h"
#include "cli/cli_app.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  // Output piped into a program that has ended (`| head`) must not end the run: the documents
  // are made whatever becomes of the console output.
  std::signal(SIGPIPE, SIG_IGN);
  app::keepFreedMemoryForReuse();
  std::vector<std::string> args(argv + 1, argv + argc);
  return cli::run(args, std::make_unique<app::QSettingsStore>(), std::cout, std::cerr);
}
