#pragma once
// The path check before a generation window opens: the shapefile, the survey folder and the
// output folder from the settings. Shows its own message box and log line on failure.

#include <cstdint>

namespace app {

// 100 when all checks pass, 101 at the first failure.
int16_t FfhCheckPath();

}  // namespace app
