#pragma once
// What the tests of the real print chain need from the machine: LibreOffice, a CUPS server
// whose default destination is a cups-pdf queue, and that queue's output folder. A machine
// without them skips these tests with the reason; under CI (CI set) they fail instead, because
// CI installs and starts all of it.

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace printtest {

// Empty when LibreOffice is on PATH, else why not.
std::string libreOfficeMissing();
// Empty when Python can reach LibreOffice through its uno module (python3-uno), else why not.
std::string unoMissing();
// Empty when the default destination is a cups-pdf queue of a running CUPS, else why not.
std::string pdfPrinterMissing();
// Whether the tests must not skip (running under CI).
bool mustRun();

// The files cups-pdf has written for this user (in its configured output folder and the folder
// for anonymous jobs).
std::set<std::filesystem::path> cupsPdfFiles();
// The file cups-pdf wrote for the job, looked for until timeout; nullopt if none appeared.
std::optional<std::filesystem::path> cupsPdfOutput(int jobId, double timeoutSeconds);

// A cups-pdf queue of one test's own beside the default destination, which stays untouched
// (other tests print there at the same time): Paused is stopped as cupsdisable stops a
// printer; Holding keeps every job in its queue while the printer stays ready, as a printer
// does that never finishes. The queue and its jobs are removed with the object.
class TestQueue {
 public:
  enum class Kind { Paused, Holding };
  explicit TestQueue(Kind kind);
  ~TestQueue();
  TestQueue(const TestQueue&) = delete;
  TestQueue& operator=(const TestQueue&) = delete;

  const std::string& name() const { return name_; }
  // Empty when the queue is ready, else why it could not be set up (no CUPS, no rights).
  const std::string& missing() const { return missing_; }
  // The identifiers of the jobs in its queue now.
  std::vector<int> jobs() const;

 private:
  std::string name_;
  std::string missing_;
  bool added_ = false;
};

// What the run with process id run left behind: its work folders in the temporary folder and
// the LibreOffices on its profiles, looked for until 2 s have passed with some still there.
std::vector<std::string> leftBehind(int run);

// Whether the file begins like a PDF, and the text pdftotext reads from it.
bool looksLikePdf(const std::filesystem::path& file);
std::string pdfText(const std::filesystem::path& file);

}  // namespace printtest

// Skips (or under CI fails) the current test when reason is not empty.
#define PRINTTEST_REQUIRE(reason)                                            \
  do {                                                                       \
    const std::string why_ = (reason);                                       \
    if (!why_.empty()) {                                                     \
      if (printtest::mustRun()) FAIL() << "CI must run this test: " << why_; \
      GTEST_SKIP() << why_;                                                  \
    }                                                                        \
  } while (false)
