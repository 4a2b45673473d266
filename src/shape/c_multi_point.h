#pragma once
// A set of shared points (1-based) with an extent that Add widens and Remove leaves alone.
// Errors are ShapeError.

#include "shape/shared_list.h"

namespace shape {

class CMultiPoint : public ListShape<CPoint> {
 public:
  std::string_view className() const override { return "CMultiPoint"; }

 protected:
  std::string refusal() const override {
    return "CMultiPoint Add can only accept objects of type CPoints";
  }
};

}  // namespace shape
