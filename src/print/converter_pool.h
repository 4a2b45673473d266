#pragma once
// The LibreOffices of a run, one per worker (WorkerSlot), each with its own profile, started
// on the worker's first conversion and kept until the pool goes. A worker only ever uses its
// own, so the converters need no lock; handing them out is thread-safe.

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "print/libre_office.h"

namespace print {

class ConverterPool {
 public:
  // first: the converter of slot 0 (found on PATH when none is given); the others use the
  // same program.
  explicit ConverterPool(std::unique_ptr<LibreOfficeConverter> first = nullptr);
  ConverterPool(const ConverterPool&) = delete;
  ConverterPool& operator=(const ConverterPool&) = delete;

  // The calling worker's converter.
  LibreOfficeConverter& forThisThread();
  // Whether LibreOffice can be found; reason says why not.
  bool available(std::string& reason) const;
  // Background instances started so far, over all workers.
  int instanceStarts();

 private:
  std::mutex mutex_;
  std::vector<std::unique_ptr<LibreOfficeConverter>> converters_;  // by slot; null: not yet
};

}  // namespace print
