#include "shape/shape_error.h"

#include <utility>

namespace shape {

ShapeError::ShapeError(uint32_t number, std::string source, std::string description)
    : std::runtime_error(source + ": " + description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

}  // namespace shape
