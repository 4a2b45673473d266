#pragma once
// "Daten prüfen": runs the data check of the survey folder and the shapefile that the settings
// name on a thread of its own while the window stays live (progress, cancel), then shows the
// findings in a table that sorts by any column and filters by severity, check and key, saves
// them as a CSV file, and shows the polygon of a finding on a small map when it is
// double-clicked. Closing the window while the check runs cancels it and waits for it.

#include <QDialog>
#include <atomic>
#include <memory>
#include <thread>

#include "check/data_check.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace gui {

class FindingsFilter;
class FindingsModel;
class PolygonMapView;

class frmDatenpruefung : public QDialog {
 public:
  explicit frmDatenpruefung(QWidget* parent = nullptr);
  ~frmDatenpruefung() override;

  // Starts the check on the folders of the settings; nothing while one runs.
  void startCheck();
  bool running() const { return worker_.joinable(); }
  // The result of the last check that finished (none before).
  const check::CheckResult* result() const { return result_.get(); }
  // Writes every finding to file; false (after a box saying why) when it cannot.
  bool saveCsv(const QString& file);
  // What a double click on row (of the view, as sorted and filtered) does.
  void showFindingOnMap(int row);

  void reject() override;

 private:
  void progress(std::size_t step, std::size_t steps, const QString& what);
  void finished(std::shared_ptr<check::CheckResult> result);
  void stopWorker();
  void filterChanged();
  void updateSummary();
  void chooseCsvFile();

  QLabel* lblFolders_;
  QPushButton* cmdStart_;
  QPushButton* cmdCancel_;
  QProgressBar* prbProgress_;
  QLabel* lblProgress_;
  QComboBox* cboSchwere_;
  QComboBox* cboPruefung_;
  QLineEdit* txtSchluessel_;
  QTableView* lvwBefunde_;
  QLabel* lblSummary_;
  PolygonMapView* picKarte_;
  QLabel* lblKarte_;
  QPushButton* cmdCsv_;
  QPushButton* cmdExit_;
  FindingsModel* model_;
  FindingsFilter* filter_;

  std::thread worker_;
  std::atomic<bool> cancel_{false};
  std::shared_ptr<check::CheckResult> result_;
};

// Opens the window modally over parent (the main window's "Daten prüfen").
void showDataCheck(QWidget* parent);

}  // namespace gui
