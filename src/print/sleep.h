#pragma once
// The pauses of the print wait. Tests install a stand-in that records the pauses instead of
// sleeping, so that a waited-for queue costs them no time.

#include <cstdint>
#include <functional>

namespace print {

using SleepFunction = std::function<void(uint32_t milliseconds)>;

// Pauses the calling thread (or calls the installed stand-in).
void Sleep(uint32_t milliseconds);
// Installs a stand-in and answers the one it replaces; an empty function restores real sleeping.
SleepFunction installSleep(SleepFunction sleep);

}  // namespace print
