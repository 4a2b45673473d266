#pragma once
// The output window "Generator für die Geländebögen (Reinschrift)": the area lists, sheet
// types, biotope and habitat filters, and the clean-copy run, sheet by sheet.
// It borrows the database object from the main window for as long as it is open.

#include "gui/generation_window.h"
#include "gui/type_filter.h"
#include "sheets/clean_copy_run.h"

class QLineEdit;
class QTreeWidget;

namespace gui {

class frmAusgabe : public GenerationWindow {
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
  // The summary of the last run that reached the sheet loop.
  const sheets::RunSummary& lastRun() const { return lastRun_; }

 private:
  struct TypeGroup;

  QWidget* buildAreaPage();
  QWidget* buildTypePage(TypeGroup& group, bool biotope);
  void RefreshAreaSelection();
  void chkBoegenClick();
  void groupClick(TypeGroup& group);
  void FillListView(QTreeWidget* list,
                    const std::vector<std::pair<std::string, std::string>>& rows);
  void refreshChosen(TypeGroup& group);
  void searchTyped(TypeGroup& group);
  void generate() override;
  void runModeChanged(bool running) override;
  void areaClicked(int level) override;
  void rememberChoices() override;
  void recallChoices() override;

  data::TextSet codes_;

  QCheckBox* chkGebiet_;
  QCheckBox* chkBoegen_;
  QListWidget* lstGBogen_;
  QLabel* lblBogen_;

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
  sheets::RunSummary lastRun_;
};

}  // namespace gui
