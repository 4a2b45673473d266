#pragma once
// The program-wide objects every subsystem reaches: the settings store, the user interface and
// the log g_Debug. Until a front end installs its own, a memory store, a console UI and an
// unstarted log (which writes nothing) stand in, so library code never meets a missing object.

#include <memory>

#include "app/cls_debug.h"
#include "app/settings.h"
#include "app/user_interface.h"

namespace app {

Settings& settings();
UserInterface& ui();
clsDebug& g_Debug();

// Installing a settings store also replaces the log with a new, unstarted one on that store;
// the old log writes its closing line if it was started.
void installSettings(std::unique_ptr<Settings> store);
// Answers the user interface it replaces, so that a caller may put it back.
std::unique_ptr<UserInterface> installUi(std::unique_ptr<UserInterface> ui);
// Destroys the current log (closing line) and creates a new unstarted one on the current store.
void resetDebug();

}  // namespace app
