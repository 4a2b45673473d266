#pragma once
// The message file "MessageReport.txt" that ends every generation run.

#include <filesystem>
#include <string>
#include <vector>

#include "app/user_interface.h"

namespace app {

struct RunServices;

inline constexpr const char* kMessageFileName = "MessageReport.txt";
inline constexpr const char* kNotePrefix = "Hinweis: ";

struct MessageFileOutcome {
  std::filesystem::path file;  // the file holding this run's messages; empty when none was written
  std::string error;           // why the messages could not be written (German), else empty
  bool staleFileLeft = false;  // a message file of an earlier run is still there
};

// With no messages, removes an old message file from the output folder (even a read-only one).
// Otherwise writes the messages, one per CR LF line, into the output folder (through a hidden
// temporary file, so a failed write never leaves half a file) and shows the warning box: with
// the file's path, or, when it could not be written, with the cause, so that an old file is
// never taken for this run's.
MessageFileOutcome writeMessageFile(const std::vector<std::string>& messages,
                                    const RunServices& run);
// The same with the run's notes behind the messages, each line beginning "Hinweis: ". Notes
// alone are no error: the box then only tells where they are.
MessageFileOutcome writeMessageFile(const std::vector<std::string>& messages,
                                    const std::vector<std::string>& notes, const RunServices& run);

// A run that cannot start because the survey could not be read: shows text with the provider's
// cause ("Grund: ...") in an error box (icon) and writes both into the message file, so that the
// cause is not only in the log.
void reportUnreadableSurvey(const std::string& text, const std::string& cause,
                            const RunServices& run, MessageIcon icon = MessageIcon::Error);

// "Die Meldungsdatei ... konnte nicht geschrieben werden: ..." with the note on an old file.
std::string messageFileFailure(const MessageFileOutcome& outcome, const std::string& intended);

}  // namespace app
