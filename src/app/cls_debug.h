#pragma once
// The diagnostic log "FehlerReport2.log" in the output folder. Off until Init succeeds; the file
// stays open in append mode and every line is flushed whole, so that the log is complete after a
// crash and other writers of the file do not overwrite its lines. A failed write is silently lost.
// The workers of a run each write through their own view of the run's log (forWorker): one
// writer takes their whole lines one at a time, and each view keeps its own error capture.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace app {

class Settings;

// The program's version, "major.minor.revision": the project version of the top CMakeLists.txt,
// which the package takes as well.
extern const char* const kProgramVersion;
inline constexpr const char* kLogFileName = "FehlerReport2.log";

class clsDebug {
 public:
  // The log reads "DataFilesPfad" from settings in Init; settings must outlive the log.
  explicit clsDebug(const Settings& settings);
  ~clsDebug();  // writes the closing line when the log was started (not a worker's view)
  clsDebug(const clsDebug&) = delete;
  clsDebug& operator=(const clsDebug&) = delete;

  // Starts the log: creates the file anew and writes the banner. True when started (or already
  // running); false when the output folder is missing or the file cannot be created; then
  // initFailure() says why, unless the folder is missing. Something other than a regular file
  // at the log's name (a link, a pipe) is neither followed nor opened.
  bool Init();
  const std::string& initFailure() const { return failure_; }
  // Appends "D" + level + " " + text. Does nothing before Init; never throws.
  void Ausgabe(int16_t level, const std::string& text) const noexcept;
  bool isStarted() const { return initialised_; }
  // While a capture is set, the error lines (level 2) also go to it, whether or not the log is
  // on: the document engine keeps them as the causes of an incomplete document.
  void setErrorCapture(std::vector<std::string>* capture) noexcept { capture_ = capture; }
  const std::string& logFilePath() const { return path_; }
  // A view for one worker of a run: it writes into this log's file (safe from any thread, whole
  // lines), has its own error capture, and neither starts the log nor writes its closing line.
  // The log must outlive the view.
  std::unique_ptr<clsDebug> forWorker() const;

 private:
  void AusgabeKopf() const;

  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  struct Sink {
    std::mutex mutex;
    std::unique_ptr<std::FILE, FileCloser> file;
    std::atomic<bool> open{false};  // lets a line be skipped unbuilt while the log is off
  };

  const Settings& settings_;
  std::string path_;
  std::string failure_;
  std::shared_ptr<Sink> sink_ = std::make_shared<Sink>();
  bool initialised_ = false;
  bool worker_ = false;
  std::vector<std::string>* capture_ = nullptr;
};

// "06.12.2026 14:05:09" on a German system: the date and the time as the locale writes them.
std::string localDateTime();

}  // namespace app
