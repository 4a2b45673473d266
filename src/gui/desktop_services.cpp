#include "gui/desktop_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "gui/qt_user_interface.h"

namespace gui {
namespace {

ChoiceBox& choiceBox() {
  static ChoiceBox box;
  return box;
}

DesktopOpener& desktopOpener() {
  static DesktopOpener opener;
  return opener;
}

}  // namespace

int choose(app::MessageIcon icon, const std::string& text,
           const std::vector<std::string>& buttons) {
  if (choiceBox()) return choiceBox()(icon, text, buttons);
  QMessageBox box(boxIcon(icon), QString::fromUtf8(kMessageTitle), QString::fromStdString(text),
                  QMessageBox::NoButton, QApplication::activeWindow());
  box.setObjectName("msgChoice");
  std::vector<QPushButton*> pressed;
  for (const auto& caption : buttons)
    pressed.push_back(box.addButton(QString::fromStdString(caption), QMessageBox::AcceptRole));
  if (!pressed.empty()) {
    box.setDefaultButton(pressed.front());
    // Escape is the last button, which the callers make the one that does nothing.
    box.setEscapeButton(pressed.back());
  }
  box.exec();
  for (std::size_t i = 0; i < pressed.size(); ++i)
    if (box.clickedButton() == pressed[i]) return static_cast<int>(i);
  return -1;
}

bool openOnDesktop(const QString& path) {
  if (desktopOpener()) return desktopOpener()(path);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setChoiceBox(ChoiceBox box) {
  choiceBox() = std::move(box);
}

void setDesktopOpener(DesktopOpener opener) {
  desktopOpener() = std::move(opener);
}

}  // namespace gui
