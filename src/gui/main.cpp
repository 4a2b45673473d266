// quelbrix-gui: the desktop program. Sets up the application object, the settings store and
// the message boxes, then shows the main window.

#include <QApplication>
#include <clocale>
#include <csignal>
#include <iostream>
#include <string_view>

#include "app/cls_debug.h"
#include "app/memory_reuse.h"
#include "app/program_objects.h"
#include "app/qsettings_store.h"
#include "gui/frm_main.h"
#include "gui/german_translations.h"
#include "gui/logo.h"
#include "gui/qt_user_interface.h"
#include "gui/termination_signals.h"

namespace {

// --version and --help are answered before the application object exists: it needs a display,
// and a package check or a user on a plain terminal has none.
bool answeredOnTerminal(int argc, char** argv) {
  if (argc != 2) return false;
  const std::string_view arg = argv[1];
  if (arg == "--version") {
    std::cout << "quelbrix-gui " << app::kProgramVersion << '\n';
    return true;
  }
  if (arg == "--help" || arg == "-h") {
    std::cout << "Aufruf: quelbrix-gui [Qt-Optionen]\n"
                 "Öffnet das Hauptfenster von Quelbrix (Geländebögen und Datenreports).\n\n"
                 "  --version  Programmversion anzeigen und beenden\n"
                 "  --help     diese Hilfe anzeigen und beenden\n\n"
                 "Alle Befehle ohne Fenster: quelbrix --help. Handbuch: man quelbrix-gui\n";
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (answeredOnTerminal(argc, argv)) return 0;
  // A closed standard output (started from `... | head`) must not end a run.
  std::signal(SIGPIPE, SIG_IGN);
  app::keepFreedMemoryForReuse();
  QApplication application(argc, argv);
  // Qt sets the C locale from the environment; numbers and dates follow the user's settings.
  std::setlocale(LC_ALL, "");
  QApplication::setApplicationName("Quelbrix");
  QApplication::setApplicationVersion(app::kProgramVersion);
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
