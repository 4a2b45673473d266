#pragma once
// How the windows reach the desktop beyond plain message boxes: a box with buttons of its own
// (the answer is the button pressed) and opening a file or folder in the system's viewer
// (QDesktopServices). Both can be replaced, so that window tests answer and record them.

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/user_interface.h"

namespace gui {

// Shows text with the buttons given, left to right, the first one the default and the last
// one taken by Escape (make it the one that does nothing); answers the index of the button
// pressed, -1 when the box was closed without one.
int choose(app::MessageIcon icon, const std::string& text, const std::vector<std::string>& buttons);
// Opens the file or folder at path with the desktop's program for it; false when none took it.
bool openOnDesktop(const QString& path);

using ChoiceBox =
    std::function<int(app::MessageIcon, const std::string&, const std::vector<std::string>&)>;
using DesktopOpener = std::function<bool(const QString&)>;
// Replace the box and the opener; an empty function puts the desktop's own back.
void setChoiceBox(ChoiceBox box);
void setDesktopOpener(DesktopOpener opener);

}  // namespace gui
