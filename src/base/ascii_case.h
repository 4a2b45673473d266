#pragma once
// Names compared as the file formats and the survey tables spell them: letters of any case, and
// the user's locale plays no part (a Turkish "I" must still match "i" in "POLYGONNR").

#include <string_view>

namespace base {

// a and b are equal but for the case of ASCII letters.
bool equalsNoCase(std::string_view a, std::string_view b);

}  // namespace base
