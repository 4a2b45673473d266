#include "shape/i_shape.h"

#include "app/program_objects.h"

namespace shape {

double notImplementedDistance() {
  app::ui().message(app::MessageIcon::None, "NOT IMPLEMENTED");
  return 0;
}

}  // namespace shape
