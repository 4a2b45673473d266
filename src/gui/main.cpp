// quelbrix-gui: the desktop program. Sets up the application object, the settings store and
// the message boxes, then shows the main window.

#include <QApplication>
#include <clocale>

#include "app/program_objects.h"
#include "app/qsettings_store.h"
#include "gui/frm_main.h"
#include "gui/german_translations.h"
#include "gui/logo.h"
#include "gui/qt_user_interface.h"
#include "gui/termination_signals.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Qt sets the C locale from the environment; numbers and dates follow the user's settings.
  std::setlocale(LC_ALL, "");
  QApplication::setApplicationName("Quelbrix");
  gui::installGermanTranslations(application);
  QApplication::setWindowIcon(gui::logoIcon());
  app::installSettings(std::make_unique<app::QSettingsStore>());
  app::installUi(std::make_unique<gui::QtUserInterface>());
  int status = 0;
  {
    const gui::TerminationSignals terminations;
    gui::frmMain window;
    window.show();
    status = QApplication::exec();
  }
  app::installUi(std::make_unique<app::ConsoleUserInterface>());
  return status;
}
