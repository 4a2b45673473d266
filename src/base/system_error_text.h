#pragma once
// German reasons for failed system calls (open, read, rename, start a program): the user reads
// them in messages and the log, so the C library's English texts stay out of sight.

#include <filesystem>
#include <string>

namespace base {

// The reason for the errno value error: the causes a user can mend in words ("keine Berechtigung",
// "nicht vorhanden"), any other as "Systemfehler N (the system's own text)".
std::string systemErrorText(int error);

// A failed std::filesystem operation in German: the path it failed on and the reason, in place
// of the library's English "filesystem error: ..." text.
std::string systemErrorText(const std::filesystem::filesystem_error& error);

}  // namespace base
