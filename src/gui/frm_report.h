#pragma once
#include <memory>
// The report window "Datenreport": FFH area, sub-area and polygon lists (parts of a polygon
// folded into one row) and the data-report run with progress, elapsed time and cancel. It
// borrows the database object from the main window for as long as it is open.

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>

#include "data/area_selection.h"
#include "data/cls_dbf_data.h"
#include "gui/window_printing.h"
#include "report/report_run.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QGroupBox;

namespace gui {

class frmReport : public QDialog {
 public:
  explicit frmReport(QWidget* parent = nullptr);

  // Keeps db (which must outlive the window) and fills the area list from its sheets.
  void setDBFData(data::clsDBFData& db);
  void SetBogenNumbers(const data::TextSet& sheets, const data::AreaRoots& roots);

  // True from the press of "Report erstellen" until the run has returned, also after cancel.
  bool runActive() const { return runActive_; }
  // What "Abbrechen" does to a run (also for a termination signal): the polygon in work is
  // finished, nothing after it starts.
  void cancelRun();
  // The summary of the last run.
  const report::ReportSummary& lastRun() const { return lastRun_; }
  // How many documents a run makes side by side; 0 (the default) is one per core.
  void setJobs(unsigned jobs) { jobs_ = jobs; }
  // True after the shapefile's attribute table could not be read: the program must end.
  bool programEnded() const { return programEnded_; }
  // The polygon codes the lists stand for: area × sub-area × polygon, in list order.
  std::vector<std::string> selectedPolygonCodes() const { return areas_.selectedPolygonCodes(); }

  void reject() override;  // no closing while a run is active

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void fillRows(QListWidget* list, const std::vector<std::string>& rows);
  void areaClicked(int level);
  void SetGenerateState(bool running);
  void timerTick();
  void cmdGenerateClick();

  data::clsDBFData* db_ = nullptr;
  data::AreaSelection areas_{data::AreaSelection::Mode::Report};
  data::TextSet sheets_;

  QGroupBox* fraFFHGebiet_;
  QListWidget* lstFFHGebiet_;
  QListWidget* lstTeilgebiet_;
  QListWidget* lstPolygon_;
  QCheckBox* chkEmpty_;
  QCheckBox* chkKopien_;
  QPushButton* cmdGenerate_;
  QPushButton* cmdCancel_;
  QPushButton* cmdExit_;
  QProgressBar* prbProgress_;
  QLabel* lblProgress_;
  QLabel* lblTime_;
  QTimer* Timer1_;

  bool running_ = false;
  bool runActive_ = false;
  bool programEnded_ = false;
  report::ReportSummary lastRun_;
  unsigned jobs_ = 0;
  std::atomic<bool> cancel_{false};
  QElapsedTimer started_;
  std::unique_ptr<WindowPrinting> printing_;
};

}  // namespace gui
