#include "app/user_interface.h"

#include <iostream>

namespace app {

void ConsoleUserInterface::message(MessageIcon icon, const std::string& text) {
  switch (icon) {
    case MessageIcon::Error: std::cerr << "Fehler: "; break;
    case MessageIcon::Warning: std::cerr << "Warnung: "; break;
    case MessageIcon::Information: std::cerr << "Hinweis: "; break;
    case MessageIcon::None: break;
  }
  std::cerr << text << std::endl;
}

bool ConsoleUserInterface::askYesNo(const std::string& text) {
  std::cerr << text << (answer_ ? " [ja]" : " [nein]") << std::endl;
  return answer_;
}

}  // namespace app
