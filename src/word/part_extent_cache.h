#pragma once
// The part extents of the polygon shapefile for the cover-sheet maps, read once per file
// identity: a run over N polygons then reads the whole shapefile once instead of N times. The
// identity is the file's path with inode, size and change times of ".shp" and ".shx", so a
// rewritten shapefile is read again. Holds one file at a time; safe to use from the workers of
// a run.

#include <memory>
#include <string>
#include <vector>

#include "shape/c_shape_file.h"
#include "word/part_extent_index.h"

namespace app {
class clsDebug;
}

namespace word {

// The index of the open shapefile file whose ".shp" lies at shpPath; built from file when the
// cached one belongs to another identity, logging its damaged records then. Throws what reading
// the file throws.
std::shared_ptr<const PartExtentIndex> partExtentsFor(const std::string& shpPath,
                                                      shape::CShapeFile& file, app::clsDebug& log);

// For the run's message file: one line for each record of the cached index that could not be
// read, and so is missing from every map that would show it; empty without an index.
std::vector<std::string> damagedRecordNotes();

// Drops the cached index (end of a run).
void forgetPartExtents();

// How many indexes were built since the program started (for tests and measurements).
long partExtentBuilds();

}  // namespace word
