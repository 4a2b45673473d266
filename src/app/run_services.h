#pragma once
// The services a run works through: its settings, its log and its user interface. The core is
// handed them and never reaches for the program-wide objects itself; program() bundles those,
// as the windows' and the tests' default. The referenced objects must outlive the bundle.

#include "app/cls_debug.h"
#include "app/settings.h"
#include "app/user_interface.h"

namespace app {

struct RunServices {
  const Settings& settings;
  clsDebug& log;
  UserInterface& ui;

  // The program-wide settings, log and user interface as they are installed now.
  static RunServices program();
};

}  // namespace app
