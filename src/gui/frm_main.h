#pragma once
// The start window: starts the log when it is switched on, checks the paths and opens the
// database before it shows the output window or the report window, and offers the settings,
// the log dialog and the about box. When the paths do not pass, it says where they are set
// and offers the settings dialog and, before anything is set, the sample survey. It shows the
// paths in use, takes a survey folder or shapefile dropped onto it, lists the last five
// surveys and remembers its size and place. Closing it writes the log's closing line.

#include <QMainWindow>

class QLabel;
class QMenu;

namespace gui {

class frmMain : public QMainWindow {
 public:
  explicit frmMain(QWidget* parent = nullptr);
  ~frmMain() override;

  // The sequences of the two main buttons.
  void cmdAusgabeClick();
  void cmdReportClick();

  // What a drop of these local files or folders does: a folder with "Polygone.dbf" becomes the
  // survey folder (with its one shapefile, when it holds exactly one below it), a ".shp" with
  // its ".shx" the shapefile. Answers whether anything was set; otherwise the user is told.
  bool takeDroppedPaths(const QStringList& paths);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  enum class Target { Ausgabe, Report };
  void openWindow(Target target);
  // The path check, its box completed with the way to the settings; true when the paths pass
  // (also after the user fixed them or took the sample survey from the box).
  bool pathsReady();
  bool openSettings();
  void showPaths();
  void fillRecentMenu();

  QLabel* lblPfade_;
  QMenu* mnuZuletzt_;
};

// The title of the program's data-output module, the main window's caption and heading.
inline constexpr const char* kMainTitle = "Datenausgabe für die FFH-Gebiete";

}  // namespace gui
