#pragma once
// The about box "Information": logo, program name, version, build date and the folder where
// the documentation is installed.

#include <QDialog>
#include <QString>

namespace gui {

class frmInfo : public QDialog {
 public:
  explicit frmInfo(QWidget* parent = nullptr);
};

// The folder holding the program's documentation (README.md and the pictures of the windows):
// beside an installed program (<prefix>/share/doc/quelbrix), else the folder it is installed
// to by this build, else the source folder of a program run from its build folder.
QString documentationFolder();
// The day this program was built, "06.12.2026".
QString buildDate();

}  // namespace gui
