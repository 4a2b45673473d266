#pragma once
// The diagnostic log "FehlerReport2.log" in the output folder. Off until Init succeeds; every
// line is appended with its own open and close, and a failed write is silently lost.

#include <cstdint>
#include <string>

namespace app {

class Settings;

inline constexpr const char* kProgramVersion = "2.3.9";
inline constexpr const char* kLogFileName = "FehlerReport2.log";

class clsDebug {
 public:
  // The log reads "DataFilesPfad" from settings in Init; settings must outlive the log.
  explicit clsDebug(const Settings& settings);
  ~clsDebug();  // writes the closing line when the log was started
  clsDebug(const clsDebug&) = delete;
  clsDebug& operator=(const clsDebug&) = delete;

  // Starts the log: creates the file anew and writes the banner. True when started (or already
  // running); false when the output folder is missing or the file cannot be created.
  bool Init();
  // Appends "D" + level + " " + text. Does nothing before Init; never throws.
  void Ausgabe(int16_t level, const std::string& text) const noexcept;
  bool isStarted() const { return initialised_; }
  const std::string& logFilePath() const { return path_; }

 private:
  void AusgabeKopf() const;

  const Settings& settings_;
  std::string path_;
  bool initialised_ = false;
};

// "06.12.2026 14:05:09" on a German system: the date and the time as the locale writes them.
std::string localDateTime();

}  // namespace app
