#include "print/worker_slot.h"

namespace print {
namespace {

thread_local unsigned slot = 0;
thread_local bool serves = true;

}  // namespace

WorkerSlot::WorkerSlot(unsigned s) : previousSlot_(slot), previousServes_(serves) {
  slot = s;
  serves = false;
}

WorkerSlot::~WorkerSlot() {
  slot = previousSlot_;
  serves = previousServes_;
}

unsigned workerSlot() {
  return slot;
}

bool servesEvents() {
  return serves;
}

void neverServeEvents() {
  serves = false;
}

}  // namespace print
