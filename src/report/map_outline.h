#pragma once
// Outlines as the cover map can show them: what lies within a quarter point of the line drawn
// is left out, an edge that neighbours share is drawn once, and many small outlines share a
// few shapes. Pure functions.

#include <cstddef>
#include <vector>

#include "word/cls_word_doc.h"
#include "word/shape_subs.h"

namespace report {

// The closed ring without the points that lie within tolerance (drawing units) of the line
// through the points kept (Douglas-Peucker), still closed. A ring that would keep less than a
// triangle comes back whole.
word::PointList simplifiedRing(const word::Ring& ring, float tolerance);
// The same keeping, besides, the points keep marks (one flag per point of ring).
word::PointList simplifiedRing(const word::Ring& ring, float tolerance, std::vector<bool>& keep);

// The lines that draw rings, in their order, with every segment once: a ring none of whose
// segments an earlier ring drew stays a closed ring; of the others only the runs of segments not
// drawn before remain, as open lines. Each simplified to tolerance as above; the points where
// open lines end are kept on every line through them, so that lines still meet there.
std::vector<word::PointList> outlinesOnce(const std::vector<const word::Ring*>& rings,
                                          float tolerance);

// Sizes of consecutive runs that share count items out among at most `shapes` shapes: one item
// each while there are no more items than shapes, else runs of equal size (the last shorter).
std::vector<std::size_t> shareOut(std::size_t count, std::size_t shapes);

}  // namespace report
