#pragma once
// The ten sheet types of the survey in the order every list shows them; each has its own tables,
// its clean-copy template and its report template.

#include <string>
#include <vector>

namespace data {

inline const std::vector<std::string> kSheetTypes = {"F", "GN", "GT", "H", "K",
                                                     "M", "S",  "T",  "W", "X"};

}  // namespace data
