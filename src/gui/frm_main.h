#pragma once
// The start window: starts the log when it is switched on, checks the paths and opens the
// database before it shows the output window or the report window, and offers the settings,
// the log dialog and the about box. Closing it writes the log's closing line.

#include <QMainWindow>

namespace gui {

class frmMain : public QMainWindow {
 public:
  explicit frmMain(QWidget* parent = nullptr);
  ~frmMain() override;

  // The sequences of the two main buttons.
  void cmdAusgabeClick();
  void cmdReportClick();

 private:
  enum class Target { Ausgabe, Report };
  void openWindow(Target target);
};

// The title of the program's data-output module, the main window's caption and heading.
inline constexpr const char* kMainTitle = "Datenausgabe für die FFH-Gebiete";

}  // namespace gui
