#pragma once
// How the program's heap serves the documents of a run: memory freed after one document is
// kept for the next.

namespace app {

// Each document builds its XML, its drawing and its package in buffers of up to several
// megabytes. By default the C library returns buffers of that size to the system when they are
// freed and the next document faults every page in anew, which costs more than the filling
// itself. Called once at program start; the peak memory of a run stays what its largest
// document needs.
void keepFreedMemoryForReuse();

}  // namespace app
