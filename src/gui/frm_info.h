#pragma once
// The about box "Information": logo, program name, version 2.3.9 and the maker.

#include <QDialog>

namespace gui {

class frmInfo : public QDialog {
 public:
  explicit frmInfo(QWidget* parent = nullptr);
};

}  // namespace gui
