#pragma once
// The start of a generation run that another run's lock on the output folder refuses: the
// summary says so and counts as cancelled, the caller's finished callback sees it, and the user
// is told why. The clean-copy and the report run share it.

#include "app/output_folder_lock.h"
#include "app/run_services.h"

namespace sheets {

// True (after telling) when lock was refused; Summary has refused and cancelled, Callbacks an
// optional finished(const Summary&).
template <class Summary, class Callbacks>
bool refusedByAnotherRun(const app::OutputFolderLock& lock, const app::RunServices& run,
                         Summary& summary, const Callbacks& callbacks) {
  if (lock.refusal().empty()) return false;
  summary.refused = lock.refusal();
  summary.cancelled = true;
  if (callbacks.finished) callbacks.finished(summary);
  run.ui.message(app::MessageIcon::Error, summary.refused);
  return true;
}

}  // namespace sheets
