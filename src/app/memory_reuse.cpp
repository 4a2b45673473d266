#include "app/memory_reuse.h"

#include <malloc.h>

namespace app {

void keepFreedMemoryForReuse() {
  // Buffers up to 16 MB come from the heap instead of their own mappings, and up to 128 MB of
  // free heap stay with the program instead of going back to the system.
  mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
}

}  // namespace app
