#include "app/user_interface.h"

#include "base/visible_text.h"

namespace app {

void ConsoleUserInterface::message(MessageIcon icon, const std::string& text) {
  switch (icon) {
    case MessageIcon::Error:
      err_ << "Fehler: ";
      break;
    case MessageIcon::Warning:
      err_ << "Warnung: ";
      break;
    case MessageIcon::Information:
      err_ << "Hinweis: ";
      break;
    case MessageIcon::None:
      break;
  }
  err_ << base::visibleText(text, true) << std::endl;
}

bool ConsoleUserInterface::askYesNo(const std::string& text) {
  err_ << base::visibleText(text, true) << (answer_ ? " [ja]" : " [nein]") << std::endl;
  return answer_;
}

}  // namespace app
