#include "print/converter_pool.h"

#include "print/worker_slot.h"

namespace print {

ConverterPool::ConverterPool(std::unique_ptr<LibreOfficeConverter> first) {
  if (!first) first = std::make_unique<LibreOfficeConverter>();
  converters_.push_back(std::move(first));
}

LibreOfficeConverter& ConverterPool::forThisThread() {
  const unsigned slot = workerSlot();
  std::lock_guard lock(mutex_);
  if (converters_.size() <= slot) converters_.resize(slot + 1);
  if (!converters_[slot])
    converters_[slot] = std::make_unique<LibreOfficeConverter>(converters_.front()->program());
  return *converters_[slot];
}

bool ConverterPool::available(std::string& reason) const {
  return converters_.front()->available(reason);
}

int ConverterPool::instanceStarts() {
  std::lock_guard lock(mutex_);
  int starts = 0;
  for (const auto& converter : converters_)
    if (converter) starts += converter->instanceStarts();
  return starts;
}

}  // namespace print
