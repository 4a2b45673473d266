#pragma once
// The settings dialog "Einstellungen": the shapefile, the survey folder, the output folder and
// the print flag. Nothing is stored before "OK", and only values set while the dialog was open.

#include <QDialog>

class QCheckBox;
class QLabel;

namespace gui {

class frmEinstellungen : public QDialog {
 public:
  explicit frmEinstellungen(QWidget* parent = nullptr);

  // Puts the stored values into the labels and the box.
  void GetPathFromRegistry();

 private:
  void cmdShpChangeClick();
  void cmdDBFChangeClick();
  void cmdDataChangeClick();
  void cmdExitClick();
  // Runs the folder chooser from the label's folder; answers whether the label changed.
  bool chooseFolder(QLabel* label, const QString& headline);

  QLabel* lblShpPath_;
  QLabel* lblDBFPath_;
  QLabel* lblDataPath_;
  QCheckBox* chkDrucken_;
  bool shpSet_ = false;
  bool dbfSet_ = false;
  bool dataSet_ = false;
};

}  // namespace gui
