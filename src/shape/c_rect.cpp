#include "shape/c_rect.h"

namespace shape {

double CRect::Distance(const IShape&) const {
  return notImplementedDistance();
}

}  // namespace shape
