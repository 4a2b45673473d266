#pragma once
// What the program does first: start the log when the user has switched it on.

namespace app {

// Starts g_Debug when "ErrorReport" holds a number equal to 0 (its inverted sense: 0 = on).
// Empty, any other number or a text that is no number leave the log off. When starting fails
// the user is told in a plain box. Answers whether the log runs.
bool startLogIfEnabled();

}  // namespace app
