#pragma once
// Turns documents into PDF with LibreOffice, one LibreOffice for the whole run: the first
// conversion starts it in the background with a private profile (so a LibreOffice the user has
// open is never disturbed), holding an empty document open so that it stays; every conversion
// is then handed to it by a short-lived `soffice --convert-to` call. If the instance cannot be
// kept, each conversion runs on its own, which is slower but gives the same files.
// Failures answer false with a German reason; nothing is logged here. Not thread-safe.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "print/child_process.h"

namespace print {

class LibreOfficeConverter {
 public:
  // program: the soffice to use; empty means the first of soffice and libreoffice on PATH.
  explicit LibreOfficeConverter(std::filesystem::path program = {});
  ~LibreOfficeConverter();
  LibreOfficeConverter(const LibreOfficeConverter&) = delete;
  LibreOfficeConverter& operator=(const LibreOfficeConverter&) = delete;

  // Whether a LibreOffice program was found; reason says why not.
  bool available(std::string& reason) const;
  // Writes the document as a PDF of the same base name into folder (replacing one that is
  // there) and answers its path in pdf. The PDF appears whole or not at all.
  bool toPdf(const std::filesystem::path& document, const std::filesystem::path& folder,
             std::filesystem::path& pdf, std::string& reason);

  // How often a background instance was started in this run (for the report and the tests).
  int instanceStarts() const { return instanceStarts_; }
  bool instanceRunning();
  // The background instance's process (and group) id; 0 when none runs.
  pid_t instancePid() { return instanceRunning() ? instance_.pid() : 0; }
  // Ends the background instance and removes the private profile.
  void shutdown();

 private:
  bool prepareWorkFolder(std::string& reason);
  bool ensureInstance();
  std::vector<std::string> baseArguments() const;

  std::filesystem::path program_;
  std::filesystem::path work_;  // private profile, the keep-open document, conversion output
  ChildProcess instance_;
  int instanceStarts_ = 0;
  bool instanceFailed_ = false;  // once it could not be kept, conversions run on their own
  unsigned conversions_ = 0;
};

}  // namespace print
