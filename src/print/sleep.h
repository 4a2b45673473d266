#pragma once
// The pauses of the print wait and of the LibreOffice calls. A pause lets the front end's
// pending events run every few milliseconds, so a window stays answering (its timer, its
// cancel button) while a document prints. Tests install a stand-in that records the pauses
// instead of sleeping, so that a waited-for queue costs them no time.

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <type_traits>
#include <utility>

#include "print/step_thread.h"
#include "print/worker_slot.h"

namespace print {

using SleepFunction = std::function<void(uint32_t milliseconds)>;

// The longest stretch for which a pause keeps the front end's events waiting.
inline constexpr std::chrono::milliseconds kServeInterval(25);

// Pauses the calling thread, serving events as above (or calls the installed stand-in).
void Sleep(uint32_t milliseconds);
// Installs a stand-in and answers the one it replaces; an empty function restores real sleeping.
SleepFunction installSleep(SleepFunction sleep);

// Lets the front end's pending events run (app::ui().processEvents()); nothing on a thread that
// does not serve them (see servesEvents).
void serveEvents();

// How often a step that runs beside the front end lets its events run.
inline constexpr std::chrono::milliseconds kServePoll(10);

// Runs work on the caller's step thread and lets the front end's events run every kServePoll
// until it has returned; answers its result or throws what it threw. For single blocking steps
// of a few to tens of milliseconds (a request to CUPS, starting a program, saving a document)
// that would otherwise hold a window. The caller's thread does nothing else meanwhile, so work
// may use the caller's objects; the events served must leave them alone. On a thread that
// serves no events, work runs in place.
template <typename Work>
std::invoke_result_t<Work&> whileServingEvents(Work&& work) {
  if (!servesEvents()) return work();
  std::packaged_task<std::invoke_result_t<Work&>()> task(std::forward<Work>(work));
  auto done = task.get_future();
  stepThread().run([&task] { task(); });
  while (done.wait_for(kServePoll) != std::future_status::ready) serveEvents();
  return done.get();
}

}  // namespace print
