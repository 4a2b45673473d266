#pragma once
// The one failure of the template build: a form source, a package part or the survey schema
// does not fit together. The message names the file and line where it applies.

#include <stdexcept>

namespace forms {

class FormError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace forms
