#pragma once
// The line to a resident LibreOffice through its UNO interface: a small Python helper (Debian's
// python3-uno) connects to the office's --accept pipe and, for each request, loads a document
// hidden and stores it as PDF, so that no process is started per document. The helper talks
// over a socket pair, one request and one answer per line. Failures are answers, never
// exceptions; nothing is logged here. One object serves one thread.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "print/child_process.h"

namespace print {

class OfficeBridge {
 public:
  enum class Answer {
    kDone,      // connected, or the PDF was stored
    kFailed,    // LibreOffice could not convert this document and goes on working
    kBroken,    // the helper or LibreOffice has ended or gave no answer in time
    kNoBridge,  // Python or its uno module is missing: this way cannot be used at all
  };

  OfficeBridge() = default;
  ~OfficeBridge();
  OfficeBridge(const OfficeBridge&) = delete;
  OfficeBridge& operator=(const OfficeBridge&) = delete;

  // The --accept value that lets the helper reach an office through pipe.
  static std::string acceptArgument(const std::string& pipe);

  // Starts the helper for pipe (its errors go to log) and waits until it has reached the
  // office: kDone, kNoBridge, or kBroken when it ended or timeout passed first. officeAlive
  // is asked meanwhile, so that a LibreOffice that died during its start ends the wait at once.
  Answer connect(const std::string& pipe, const std::filesystem::path& log,
                 std::chrono::milliseconds timeout, const std::function<bool()>& officeAlive);
  // Stores the document at sourceUrl as the PDF targetUrl (file URLs). kDone; kFailed with
  // LibreOffice's words in detail; kBroken (timedOut says whether for lack of an answer, else
  // the helper or, as officeAlive tells, the office has ended).
  Answer convert(const std::string& sourceUrl, const std::string& targetUrl,
                 std::chrono::milliseconds timeout, const std::function<bool()>& officeAlive,
                 bool& timedOut, std::string& detail);
  bool connected() const { return talk_ >= 0; }
  // Ends the helper; with endOffice it first asks the office to end (and waits a little for
  // that), else the office is left to its owner.
  void stop(bool endOffice = false);

 private:
  // The next line of the helper's, waiting at most until timeout; false when none came.
  bool readLine(std::chrono::milliseconds timeout, const std::function<bool()>& keepWaiting,
                std::string& line, bool& timedOut);

  ChildProcess helper_;
  int talk_ = -1;  // our end of the socket pair
  std::string pending_;
};

// The first of /usr/bin/python3 and python3 on PATH; empty when there is none.
std::filesystem::path pythonProgram();

}  // namespace print
