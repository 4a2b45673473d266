#pragma once
// The check a survey office runs before it hands in its survey folder: reads the 28 tables and
// the polygon shapefile once and reports every fault it finds in them (findings). Runs on any
// thread; it writes nothing and touches no program-wide object. Never throws for bad data: a
// folder that cannot be read at all is said in the result.

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "check/finding.h"
#include "check/shape_layer.h"
#include "data/value.h"

namespace check {

struct CheckOptions {
  std::filesystem::path surveyFolder;  // the folder of the 28 tables
  std::filesystem::path shapefile;     // the polygon shapefile (".shp"); empty when none is set
  data::Date today;                    // dates after it lie in the future
};

struct CheckResult {
  // The survey folder could not be read at all (missing, no folder, no permission): reason says
  // why and there are no findings.
  bool unreadable = false;
  std::string reason;
  bool cancelled = false;         // stopped before every check ran; the findings so far are kept
  std::vector<Finding> findings;  // in sortForDisplay order
  // The shapefile's coordinate system ("ETRS89 / UTM zone 32N (EPSG:25832)") or why it has
  // none; "" when the shapefile could not be read.
  std::string coordinateSystem;
  // The shapefile as the checks read it, for maps of the findings' polygons.
  std::shared_ptr<const ShapeLayer> shape;

  std::size_t count(Severity severity) const;
};

// step of steps, with what is being done ("Tabelle GBogen lesen").
using CheckProgress = std::function<void(std::size_t step, std::size_t steps, const std::string&)>;

// Runs every check; progress is called on the calling thread between steps, cancel (when given)
// is tested there.
CheckResult runDataCheck(const CheckOptions& options, const CheckProgress& progress = {},
                         const std::atomic<bool>* cancel = nullptr);

// The local calendar day.
data::Date today();

}  // namespace check
