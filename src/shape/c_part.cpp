#include "shape/c_part.h"

#include <algorithm>

namespace shape {

void CPart::Remove(int32_t index) {
  SharedList::Remove(index);
  if (Count() == 0) return;
  double left = Item(1)->X(), right = left;
  double bottom = Item(1)->Y(), top = bottom;
  for (const auto& p : *this) {
    left = std::min(left, p->X());
    right = std::max(right, p->X());
    bottom = std::min(bottom, p->Y());
    top = std::max(top, p->Y());
  }
  extent_ = CRect(left, top, right, bottom);
}

}  // namespace shape
