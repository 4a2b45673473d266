#pragma once
// Text from the survey tables shown on a terminal or in the message and log files: a control
// character stored in a table must neither act on the terminal (an escape sequence, a bell, a
// carriage return that overwrites the line) nor split or hide a line of a file. Each one is shown
// by its picture from the Unicode block for control characters ("␇" for 0x07, "␛" for ESC,
// "␊" for a line feed), which no dBASE code page can produce, so that a shown picture always
// stands for a control character. Controls without a picture (C1 codes, the marks that turn the
// writing direction) are shown as "<U+0085>". Only the text shown changes, never a document.

#include <string>
#include <string_view>

namespace base {

// text with every control character made visible; with keepLineFeeds a line feed stays one (for
// texts of several lines, such as a message to the user).
std::string visibleText(std::string_view text, bool keepLineFeeds = false);

}  // namespace base
