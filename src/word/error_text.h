#pragma once
// How an error handler names a caught error in the log: its description (in German: the log's
// lines become causes in the message file) directly followed by "(", its number and ")".

#include <exception>
#include <string>

namespace word {

// Description and number of the error types the lower layers throw (provider, shapefile,
// document engine); any other exception gives its what() and the number 0.
std::string errorText(const std::exception& error);

// The cause as the user reads it in a message: the German description without the number.
std::string userCause(const std::exception& error);

}  // namespace word
