#pragma once
// Installs a memory settings store and a recording UI for one test, and restores defaults after.

#include <gtest/gtest.h>

#include "app/program_objects.h"
#include "support/temp_dir.h"

namespace testsupport {

// Recorder is the recording user interface installed: the window tests' one also runs Qt events.
template <class Recorder>
class AppFixtureWith : public ::testing::Test {
 protected:
  void SetUp() override {
    auto store = std::make_unique<app::MemorySettings>();
    settings_ = store.get();
    app::installSettings(std::move(store));
    auto recorder = std::make_unique<Recorder>();
    ui_ = recorder.get();
    app::installUi(std::move(recorder));
  }
  void TearDown() override {
    app::installSettings(std::make_unique<app::MemorySettings>());
    app::installUi(std::make_unique<app::ConsoleUserInterface>());
  }

  app::MemorySettings& settings() { return *settings_; }
  // Makes folder the output folder, switches the log on and starts it there.
  bool startLog(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    settings().set(app::kDataFilesPfad, folder.string());
    settings().set(app::kErrorReport, "0");
    return app::g_Debug().Init();
  }
  Recorder& ui() { return *ui_; }
  // The text of the last box shown, "" when there was none.
  std::string lastBox() const { return ui_->boxes.empty() ? "" : ui_->boxes.back().text; }
  // The log file's lines without their CR LF ends.
  std::vector<std::string> logLines(const std::filesystem::path& folder) const {
    std::vector<std::string> lines;
    std::string all = readFile(folder / "FehlerReport2.log");
    std::size_t start = 0;
    for (std::size_t pos; (pos = all.find("\r\n", start)) != std::string::npos; start = pos + 2)
      lines.push_back(all.substr(start, pos - start));
    return lines;
  }

  TempDir dir_;

 private:
  app::MemorySettings* settings_ = nullptr;
  Recorder* ui_ = nullptr;
};

class AppFixture : public AppFixtureWith<app::RecordingUserInterface> {};

}  // namespace testsupport
