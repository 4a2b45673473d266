#pragma once
// The LibreOffices of a run, one per worker (WorkerSlot), each with its own profile, started
// on the worker's first conversion and kept until the pool goes. A LibreOffice holds some
// hundred megabytes, so there are no more than the machine's memory allows (a gigabyte each);
// workers beyond that share them, one conversion at a time. Thread-safe.

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "print/libre_office.h"

namespace print {

class ConverterPool {
 public:
  // The calling worker's converter, held for it until the lease goes.
  class Lease {
   public:
    LibreOfficeConverter* operator->() const { return &converter_; }
    LibreOfficeConverter& operator*() const { return converter_; }

   private:
    friend class ConverterPool;
    Lease(std::mutex& use, LibreOfficeConverter& converter) : lock_(use), converter_(converter) {}
    std::unique_lock<std::mutex> lock_;
    LibreOfficeConverter& converter_;
  };

  // first: the converter of slot 0 (found on PATH when none is given); the others use the
  // same program. most: the most LibreOffices at once (0: as the memory allows).
  explicit ConverterPool(std::unique_ptr<LibreOfficeConverter> first = nullptr, unsigned most = 0);
  ConverterPool(const ConverterPool&) = delete;
  ConverterPool& operator=(const ConverterPool&) = delete;

  Lease forThisThread();
  // Whether LibreOffice can be found; reason says why not.
  bool available(std::string& reason) const;
  // Background instances started so far, over all workers.
  int instanceStarts();

 private:
  struct Office {
    std::mutex use;
    std::unique_ptr<LibreOfficeConverter> converter;
  };
  std::mutex mutex_;
  unsigned most_;
  std::vector<std::unique_ptr<Office>> offices_;  // by slot (modulo most_); null: not yet
};

}  // namespace print
