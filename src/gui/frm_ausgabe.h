#pragma once
#include <memory>
// The output window "Generator für die Geländebögen (Reinschrift)": the area lists, sheet
// types, biotope and habitat filters, and the clean-copy run with progress, elapsed time and
// cancel. It borrows the database object from the main window for as long as it is open.

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>

#include "data/area_selection.h"
#include "data/cls_dbf_data.h"
#include "gui/type_filter.h"
#include "gui/window_printing.h"
#include "sheets/clean_copy_run.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace gui {

class frmAusgabe : public QDialog {
 public:
  explicit frmAusgabe(QWidget* parent = nullptr);
  ~frmAusgabe() override;

  // Keeps db (which must outlive the window) and fills every list. False when a type table is
  // damaged: the user has been told "Das Programm wird beendet." and the program must end.
  bool setDBFData(data::clsDBFData& db);
  void SetBogenNumbers(const data::TextSet& codes, const data::AreaRoots& roots);

  bool CreateDecklatt() const { return createDecklatt_; }
  void setCreateDecklatt(bool value) { createDecklatt_ = value; }
  void setConfirmed(bool value) { confirmed_ = value; }
  bool confirmed() const { return confirmed_; }
  // True from the press of "Bögen erstellen" until the run has returned, also after cancel.
  bool runActive() const { return runActive_; }
  // What "Abbrechen" does to a run (also for a termination signal): the sheet in work is
  // finished, nothing after it starts.
  void cancelRun();
  // The summary of the last run that reached the sheet loop.
  const sheets::RunSummary& lastRun() const { return lastRun_; }
  // How many documents a run makes side by side; 0 (the default) is one per core.
  void setJobs(unsigned jobs) { jobs_ = jobs; }
  // True after a search field's look-up failed: the program must end.
  bool programEnded() const { return programEnded_; }

  void reject() override;  // no closing while a run is active

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct TypeGroup;

  QWidget* buildAreaPage();
  QWidget* buildTypePage(TypeGroup& group, bool biotope);
  void RefreshAreaSelection();
  void fillAreaRows(QListWidget* list, const std::vector<std::string>& rows);
  void areaClicked(int level);
  void chkBoegenClick();
  void groupClick(TypeGroup& group);
  void FillListView(QTreeWidget* list,
                    const std::vector<std::pair<std::string, std::string>>& rows);
  void refreshChosen(TypeGroup& group);
  void searchTyped(TypeGroup& group);
  void SetGenerateState(bool running);
  void updateButtons();
  void timerTick();
  void cmdGenerateClick();
  void cmdCancelClick();
  void waitProcessingEvents(int milliseconds);
  void endProgram(bool tell = true);

  data::clsDBFData* db_ = nullptr;
  data::AreaSelection areas_{data::AreaSelection::Mode::Sheets};
  data::TextSet codes_;

  QLabel* lblHeadline_;
  QCheckBox* chkGebiet_;
  QListWidget* lstFFHGebiet_;
  QListWidget* lstTeilgebiet_;
  QListWidget* lstPolygon_;
  QLabel* lblFFHGebiet_;
  QLabel* lblTeilgebiet_;
  QLabel* lblPolygon_;
  QCheckBox* chkBoegen_;
  QListWidget* lstGBogen_;
  QLabel* lblBogen_;
  QCheckBox* chkKopien_;
  QCheckBox* chkEmpty_;
  QPushButton* cmdGenerate_;
  QPushButton* cmdCancel_;
  QPushButton* cmdExit_;
  QProgressBar* prbProgress_;
  QLabel* lblProgress_;
  QLabel* lblTime_;
  QTimer* Timer1_;

  struct TypeGroup {
    explicit TypeGroup(TypeFilter::Kind kind) : filter(kind) {}
    TypeFilter filter;
    QCheckBox* all = nullptr;
    QLabel* searchLabel = nullptr;
    QLineEdit* search = nullptr;
    QTreeWidget* available = nullptr;
    QLabel* chosenLabel = nullptr;
    QTreeWidget* chosen = nullptr;
    QPushButton* select = nullptr;
    QPushButton* selectAll = nullptr;
    QPushButton* clear = nullptr;
    QPushButton* clearAll = nullptr;
  };
  TypeGroup bio_{TypeFilter::Kind::Biotope};
  TypeGroup leben_{TypeFilter::Kind::Habitat};

  bool createDecklatt_ = false;
  bool confirmed_ = false;
  bool running_ = false;
  bool runActive_ = false;
  bool programEnded_ = false;
  std::atomic<bool> cancel_{false};
  QElapsedTimer started_;
  sheets::RunSummary lastRun_;
  unsigned jobs_ = 0;
  std::unique_ptr<WindowPrinting> printing_;
};

}  // namespace gui
