#pragma once
// What the two generation windows share: headline, the three area lists, the options, progress
// row, buttons, elapsed-time timer, run mode, cancel, the closing rules and how a run ends on a
// failure. Each window adds its own controls and its own generation.

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/program_objects.h"
#include "data/area_selection.h"
#include "data/cls_dbf_data.h"
#include "word/run_context.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;
class QVBoxLayout;

namespace gui {

class WindowPrinting;
class WrittenDocuments;

// The user interface of a run: every box goes to the program's, except the one that ends the
// run (the message file's), which the window shows itself with what it knows of the run.
class RunUserInterface : public app::UserInterface {
 public:
  void message(app::MessageIcon icon, const std::string& text) override;
  bool askYesNo(const std::string& text) override { return app::ui().askYesNo(text); }
  void processEvents() override { app::ui().processEvents(); }
  bool hasEvents() const override { return app::ui().hasEvents(); }

  // From now on boxes are held (the run's loop has ended).
  void hold() { holding_ = true; }
  // Starts a new run: nothing held, boxes pass.
  void reset();
  const std::vector<app::RecordingUserInterface::Box>& held() const { return held_; }

 private:
  bool holding_ = false;
  std::vector<app::RecordingUserInterface::Box> held_;
};

class GenerationWindow : public QDialog {
 public:
  ~GenerationWindow() override;

  // True from the press of the generate button until the run has returned, also after cancel.
  bool runActive() const { return runActive_; }
  // What "Abbrechen" does to a run (also for a termination signal): the document in work is
  // finished, nothing after it starts. Run mode is left at once.
  void cancelRun();
  // How many documents a run makes side by side; 0 (the default) is one per core.
  void setJobs(unsigned jobs) { jobs_ = jobs; }
  // True after a failure that ends the program: the user has been told, the window is hidden
  // and every event loop is being left.
  bool programEnded() const { return programEnded_; }

  void reject() override;          // no closing while a run is active
  void done(int result) override;  // remembers size, place and choices

 protected:
  // The texts by which the two windows differ.
  struct Captions {
    const char* name;       // the window's object name
    QString headline;       // lblHeadline
    QString polygonLabel;   // lblPolygon
    QString optionLabel;    // lblOption
    QString progressLabel;  // the caption before the progress bar; empty for none
    QString generate;       // cmdGenerate
  };
  GenerationWindow(QWidget* parent, const Captions& captions, data::AreaSelection::Mode mode);

  // Puts the window's own part between the headline and the options.
  void setBody(QWidget* body);
  // Adds a check box or other control below the options' label.
  void addOption(QWidget* option);
  // The area labels in row, their lists in row + 1, columns 0 to 2 of grid.
  void placeAreaLists(QGridLayout* grid, int row);
  // Refills the three area lists from the area selection.
  void showAreaRows();

  // Run mode on or off: timer, pointer, the shared controls, then the window's own
  // (runModeChanged) and the buttons.
  void SetGenerateState(bool running);
  void updateButtons();
  // The elapsed time starts again from now.
  void restartClock();
  // Leaves run mode after a run; the boxes shown after it meet an idle window.
  void finishRun();
  // The status line after a run: "Fertig: " (or "Abgebrochen: ") + made + " erstellt", then how
  // many documents were left as they were, incomplete or not made, when any, more (when given),
  // what was printed and the notice of a run that was to make only what changed.
  QString runEndText(bool cancelled, const QString& made, std::size_t incomplete,
                     std::size_t missing, const QString& more = {}, std::size_t unchanged = 0,
                     const std::string& changedNotice = {}) const;
  // Whether the run is to make only the documents whose inputs changed since the last run.
  bool changedOnly() const;

  // The run's context on the program's objects, with the run's user interface.
  word::RunContext runContext();
  // Called when the run's loop has ended (its finished callback): the message file's box that
  // follows is held for showRunEnd.
  void holdRunEndBox() { runUi_.hold(); }
  // One more item taken in hand: the bar moves on by one (never back, however many workers
  // take items side by side) and the status line shows text.
  void showProgress(const QString& text);
  // Items taken in hand so far in this run.
  int taken() const { return taken_; }
  // After the run has returned: the list of the documents it wrote, the bar full when it was
  // not cancelled, and the held box of the message file with the status line, the printer's
  // state and a button that opens the file.
  void showRunEnd(bool cancelled, const std::filesystem::path& messageFile);

  // Choices to keep for the next session, and to put back once the lists are filled.
  virtual void rememberChoices();
  virtual void recallChoices();
  // The area lists' chosen rows, level by level (a list's rows follow the choice above it).
  void rememberAreaRows();
  void recallAreaRows();
  // Ends the program after a failure; tell shows "Das Programm wird beendet." first.
  void endProgram(bool tell = true);

  // The run itself, between entering and leaving run mode. Exceptions reaching the window end
  // the run (a data::FatalError also the program).
  virtual void generate() = 0;
  // The window's own controls in and out of run mode.
  virtual void runModeChanged(bool running) = 0;
  // After the area selection has taken a click on the list of that level (0 to 2).
  virtual void areaClicked(int level) = 0;
  // Whether the generate button may be pressed when no run is active.
  virtual bool generateAllowed() const { return true; }

  void closeEvent(QCloseEvent* event) override;

  // The window's printing, and the report window's PDF-Mappen on the same LibreOffice.
  WindowPrinting& printing() { return *printing_; }

  data::clsDBFData* db_ = nullptr;
  data::AreaSelection areas_;
  std::atomic<bool> cancel_{false};
  unsigned jobs_ = 0;
  bool running_ = false;

  QLabel* lblFFHGebiet_;
  QLabel* lblTeilgebiet_;
  QLabel* lblPolygon_;
  QListWidget* lstFFHGebiet_;
  QListWidget* lstTeilgebiet_;
  QListWidget* lstPolygon_;
  QCheckBox* chkKopien_;
  QCheckBox* chkEmpty_;
  QCheckBox* chkGeaendert_;
  QProgressBar* prbProgress_;
  QLabel* lblProgress_;
  QVBoxLayout* side_;  // beside the window's body, for a subclass's panel

 private:
  void listClicked(int level);
  void timerTick();
  void cmdGenerateClick();
  void unexpectedError(const std::exception& error);

  QVBoxLayout* layout_;
  QVBoxLayout* options_;
  QLabel* lblTime_;
  QPushButton* cmdGenerate_;
  QPushButton* cmdCancel_;
  QPushButton* cmdExit_;
  QTimer* Timer1_;
  QPushButton* cmdOpenFolder_;
  QLabel* lblDokumente_;
  QListWidget* lstDokumente_;
  RunUserInterface runUi_;
  std::unique_ptr<WrittenDocuments> written_;
  int taken_ = 0;  // items taken in hand in this run
  bool ranOnce_ = false;
  bool runActive_ = false;
  bool programEnded_ = false;
  QElapsedTimer started_;
  std::unique_ptr<WindowPrinting> printing_;
};

}  // namespace gui
