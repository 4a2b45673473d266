#pragma once
// A test that runs the command line as a user does: a scratch folder of its own, the settings
// store a run starts with (stored_), and what the run printed.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "support/temp_dir.h"

namespace testsupport {

class CliFixture : public ::testing::Test {
 protected:
  int run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    auto store = std::make_unique<app::MemorySettings>();
    for (const auto& [k, v] : stored_) store->set(k, v);
    return cli::run(args, std::move(store), out_, err_);
  }
  // The options naming the survey folder, the shapefile and <scratch>/out, then tail.
  std::vector<std::string> folders(const std::filesystem::path& db,
                                   const std::filesystem::path& shp,
                                   const std::vector<std::string>& tail = {}) const {
    std::vector<std::string> args = {"--db",       db.string(), "--shape",
                                     shp.string(), "--out",     (dir_.path() / "out").string()};
    args.insert(args.end(), tail.begin(), tail.end());
    return args;
  }

  TempDir dir_;
  std::map<std::string, std::string> stored_;
  std::ostringstream out_, err_;
};

}  // namespace testsupport
