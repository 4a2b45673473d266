#pragma once
// The desktop's answer to app::UserInterface: message boxes with the system's icons, a yes/no
// question box, and event processing through the Qt event loop. Needs a QApplication.

#include <QMessageBox>

#include "app/user_interface.h"

namespace gui {

class QtUserInterface : public app::UserInterface {
 public:
  void message(app::MessageIcon icon, const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  void processEvents() override;
  bool hasEvents() const override { return true; }
};

// The caption of every message box.
inline constexpr const char* kMessageTitle = "Quelbrix";

// The box's icon for the program's kind of message.
QMessageBox::Icon boxIcon(app::MessageIcon icon);

}  // namespace gui
