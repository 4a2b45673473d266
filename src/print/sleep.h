#pragma once
// The pauses of the print wait and of the LibreOffice calls. A pause lets the front end's
// pending events run every few milliseconds, so a window stays answering (its timer, its
// cancel button) while a document prints. Tests install a stand-in that records the pauses
// instead of sleeping, so that a waited-for queue costs them no time.

#include <chrono>
#include <cstdint>
#include <functional>

namespace print {

using SleepFunction = std::function<void(uint32_t milliseconds)>;

// The longest stretch for which a pause keeps the front end's events waiting.
inline constexpr std::chrono::milliseconds kServeInterval(25);

// Pauses the calling thread, serving events as above (or calls the installed stand-in).
void Sleep(uint32_t milliseconds);
// Installs a stand-in and answers the one it replaces; an empty function restores real sleeping.
SleepFunction installSleep(SleepFunction sleep);

// Lets the front end's pending events run (app::ui().processEvents()).
void serveEvents();

}  // namespace print
