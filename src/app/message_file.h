#pragma once
// The message file "MessageReport.txt" that ends every generation run.

#include <filesystem>
#include <string>
#include <vector>

namespace app {

inline constexpr const char* kMessageFileName = "MessageReport.txt";

// With no messages, removes an old message file from the output folder (even a read-only one).
// Otherwise writes the messages, one per CR LF line, into the output folder when it exists, and
// shows the warning box with the file's path (empty when the folder is missing).
// Answers the file's path when one was written, else an empty path.
std::filesystem::path writeMessageFile(const std::vector<std::string>& messages);

}  // namespace app
