#include "app/user_interface.h"


namespace app {

void ConsoleUserInterface::message(MessageIcon icon, const std::string& text) {
  switch (icon) {
    case MessageIcon::Error: err_ << "Fehler: "; break;
    case MessageIcon::Warning: err_ << "Warnung: "; break;
    case MessageIcon::Information: err_ << "Hinweis: "; break;
    case MessageIcon::None: break;
  }
  err_ << text << std::endl;
}

bool ConsoleUserInterface::askYesNo(const std::string& text) {
  err_ << text << (answer_ ? " [ja]" : " [nein]") << std::endl;
  return answer_;
}

}  // namespace app
