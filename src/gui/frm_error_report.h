#pragma once
// The dialog "Fehlerprotokoll" that switches the diagnostic log on and off. Ticking the box
// starts the log at once; "OK" stores the inverted setting "ErrorReport" ("0" = on).

#include <QDialog>

class QCheckBox;
class QLabel;

namespace gui {

class frmErrorReport : public QDialog {
 public:
  explicit frmErrorReport(QWidget* parent = nullptr);

 private:
  void chkErrorReportChanged(bool ticked);
  void cmdExitClick();

  QCheckBox* chkErrorReport_;
  QLabel* lblReportFile_;
  bool enabled_ = false;
};

}  // namespace gui
