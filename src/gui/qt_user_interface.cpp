#include "gui/qt_user_interface.h"

#include <QApplication>
#include <QMessageBox>

namespace gui {

QMessageBox::Icon boxIcon(app::MessageIcon icon) {
  switch (icon) {
    case app::MessageIcon::Information:
      return QMessageBox::Information;
    case app::MessageIcon::Warning:
      return QMessageBox::Warning;
    case app::MessageIcon::Error:
      return QMessageBox::Critical;
    case app::MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

void QtUserInterface::message(app::MessageIcon icon, const std::string& text) {
  // The window in front owns the box, so it stays above a modal generation window.
  QMessageBox box(boxIcon(icon), QString::fromUtf8(kMessageTitle), QString::fromStdString(text),
                  QMessageBox::Ok, QApplication::activeWindow());
  box.setObjectName("msgBox");
  box.exec();
}

bool QtUserInterface::askYesNo(const std::string& text) {
  QMessageBox box(QMessageBox::Question, QString::fromUtf8(kMessageTitle),
                  QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                  QApplication::activeWindow());
  box.setObjectName("msgBox");
  return box.exec() == QMessageBox::Yes;
}

void QtUserInterface::processEvents() {
  QCoreApplication::processEvents();
}

}  // namespace gui
