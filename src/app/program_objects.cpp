#include "app/program_objects.h"

#include "app/run_services.h"

namespace app {
namespace {

struct Objects {
  std::unique_ptr<Settings> settings = std::make_unique<MemorySettings>();
  std::unique_ptr<UserInterface> ui = std::make_unique<ConsoleUserInterface>();
  std::unique_ptr<clsDebug> debug = std::make_unique<clsDebug>(*settings);
};

Objects& objects() {
  static Objects o;
  return o;
}

}  // namespace

Settings& settings() {
  return *objects().settings;
}
UserInterface& ui() {
  return *objects().ui;
}
clsDebug& g_Debug() {
  return *objects().debug;
}

RunServices RunServices::program() {
  return {app::settings(), app::g_Debug(), app::ui()};
}

void installSettings(std::unique_ptr<Settings> store) {
  Objects& o = objects();
  o.debug.reset();  // the log refers to the old store
  o.settings = std::move(store);
  o.debug = std::make_unique<clsDebug>(*o.settings);
}

std::unique_ptr<UserInterface> installUi(std::unique_ptr<UserInterface> ui) {
  std::swap(objects().ui, ui);
  return ui;
}

void resetDebug() {
  Objects& o = objects();
  o.debug.reset();
  o.debug = std::make_unique<clsDebug>(*o.settings);
}

}  // namespace app
