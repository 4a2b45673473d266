#include "base/run_files.h"

#include <atomic>
#include <mutex>

namespace base {
namespace {

struct Runs {
  std::mutex mutex;  // holders and last change together
  int holders = 0;
  std::uint64_t last = 0;
  std::atomic<std::uint64_t> current{0};
};

Runs& runs() {
  static Runs r;
  return r;
}

}  // namespace

FilesKeptForRun::FilesKeptForRun() {
  Runs& r = runs();
  std::lock_guard lock(r.mutex);
  if (r.holders++ == 0) r.current.store(++r.last);
}

FilesKeptForRun::~FilesKeptForRun() {
  Runs& r = runs();
  std::lock_guard lock(r.mutex);
  if (--r.holders == 0) r.current.store(0);
}

std::uint64_t keptRun() {
  return runs().current.load(std::memory_order_acquire);
}

}  // namespace base
