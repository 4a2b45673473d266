#include "print/converter_pool.h"

#include <unistd.h>

#include <algorithm>

#include "print/worker_slot.h"

namespace print {
namespace {

// A LibreOffice converting these documents holds a few hundred megabytes; a gigabyte each
// leaves the rest of the machine its memory.
unsigned officesForMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return 1;
  const unsigned long long gigabytes =
      static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize) >> 30;
  return static_cast<unsigned>(std::clamp<unsigned long long>(gigabytes, 1, 64));
}

}  // namespace

ConverterPool::ConverterPool(std::unique_ptr<LibreOfficeConverter> first, unsigned most)
    : most_(most == 0 ? officesForMemory() : most) {
  if (!first) first = std::make_unique<LibreOfficeConverter>();
  offices_.push_back(std::make_unique<Office>());
  offices_.front()->converter = std::move(first);
}

ConverterPool::Lease ConverterPool::forThisThread() {
  const unsigned slot = workerSlot() % most_;
  Office* office = nullptr;
  {
    std::lock_guard lock(mutex_);
    if (offices_.size() <= slot) offices_.resize(slot + 1);
    if (!offices_[slot]) {
      offices_[slot] = std::make_unique<Office>();
      offices_[slot]->converter =
          std::make_unique<LibreOfficeConverter>(offices_.front()->converter->program());
    }
    office = offices_[slot].get();
  }
  return Lease(office->use, *office->converter);
}

bool ConverterPool::available(std::string& reason) const {
  return offices_.front()->converter->available(reason);
}

int ConverterPool::instanceStarts() {
  std::lock_guard lock(mutex_);
  int starts = 0;
  for (const auto& office : offices_)
    if (office) starts += office->converter->instanceStarts();
  return starts;
}

}  // namespace print
