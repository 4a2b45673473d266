#pragma once
// The dialog "Ausgewählte Geländebögen" before a clean-copy run: lists the sheets the
// selection found, asks whether each sheet gets a cover sheet, and confirms or cancels.
// It writes its answer into the output window that owns it.

#include <QDialog>

#include "sheets/clean_copy_run.h"

class QCheckBox;
class QLabel;
class QListWidget;

namespace gui {

class frmAusgabe;

class frmPolygone : public QDialog {
 public:
  // Loading clears the owner's confirmation flag, so closing without a button confirms nothing.
  explicit frmPolygone(frmAusgabe& owner);

  // Shows the count sentence and one row "code_type" per sheet; always 100.
  int16_t FillListViewBoegen(const sheets::Selection& selection);

 private:
  frmAusgabe& owner_;
  QLabel* lblAnzahl_;
  QListWidget* lslPolygone_;
  QCheckBox* chkCreateDeckblatt_;
};

}  // namespace gui
