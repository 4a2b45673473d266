#pragma once
// Turns documents into PDF with one LibreOffice kept for the whole run: the first conversion
// starts it in the background with a private profile (so a LibreOffice the user has open is
// never disturbed). Documents are handed to it through its UNO interface (OfficeBridge), so
// that no process is started per document; without Python's uno module each conversion is a
// short-lived `soffice --convert-to` call that the instance takes over instead (it then holds
// an empty document open, so that it stays). A LibreOffice that dies or stops answering during
// a conversion is started again and the document tried once more. If the instance cannot be
// kept, each conversion runs on its own, which is slower but gives the same files.
// Failures answer false with a German reason; nothing is logged here. Not thread-safe: each
// worker of a run has its own (ConverterPool).

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "print/child_process.h"
#include "print/office_bridge.h"

namespace print {

class LibreOfficeConverter {
 public:
  // program: the soffice to use; empty means the first of soffice and libreoffice on PATH.
  explicit LibreOfficeConverter(std::filesystem::path program = {});
  ~LibreOfficeConverter();
  LibreOfficeConverter(const LibreOfficeConverter&) = delete;
  LibreOfficeConverter& operator=(const LibreOfficeConverter&) = delete;

  const std::filesystem::path& program() const { return program_; }
  // Whether a LibreOffice program was found; reason says why not.
  bool available(std::string& reason) const;
  // Writes the document as a PDF of the same base name into folder (replacing one that is
  // there) and answers its path in pdf. The PDF appears whole or not at all.
  bool toPdf(const std::filesystem::path& document, const std::filesystem::path& folder,
             std::filesystem::path& pdf, std::string& reason);

  // How often a background instance was started in this run, and how often a document was
  // tried again on a new one (for the report and the tests).
  int instanceStarts() const { return instanceStarts_; }
  int retries() const { return retries_; }
  // Whether documents go through the UNO interface (false before the first conversion).
  bool throughUno() const { return bridge_.connected(); }
  bool instanceRunning();
  // The background instance's process (and group) id; 0 when none runs.
  pid_t instancePid() { return instanceRunning() ? instance_.pid() : 0; }
  // The longest a conversion may take before LibreOffice counts as hung (default 3 minutes).
  void setConversionTimeout(std::chrono::milliseconds timeout) { conversionTimeout_ = timeout; }
  // Ends the background instance and removes the private profile.
  void shutdown();

 private:
  enum class Outcome { kDone, kFailed, kBroken, kTimedOut };

  bool prepareWorkFolder(std::string& reason);
  bool ensureInstance();
  bool startInstance(bool throughUno);
  // Ends the instance: gently asks it to close (so that it removes its pipes) before ending it.
  void endInstance(bool gently = false);
  std::vector<std::string> baseArguments() const;
  Outcome convertOnce(const std::filesystem::path& copy, const std::filesystem::path& outDir);
  Outcome convertByCall(const std::filesystem::path& copy, const std::filesystem::path& outDir);

  std::filesystem::path program_;
  std::filesystem::path work_;  // private profile, the keep-open document, conversion output
  ChildProcess instance_;
  OfficeBridge bridge_;
  std::string pipe_;                    // the instance's --accept pipe
  std::atomic<int> instanceStarts_{0};  // read by the run while its worker converts
  std::atomic<int> retries_{0};
  bool instanceFailed_ = false;  // once it could not be kept, conversions run on their own
  bool noUno_ = false;           // the UNO way is missing; conversions are handed over by calls
  std::chrono::milliseconds conversionTimeout_;
  unsigned conversions_ = 0;
};

}  // namespace print
