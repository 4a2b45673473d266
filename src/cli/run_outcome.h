#pragma once
// The end of a generating command's output: the documents left incomplete with their causes and
// where this run's messages are (or, when the message file could not be written, the messages).

#include <ostream>
#include <string>
#include <vector>

#include "app/message_file.h"
#include "word/document_outcome.h"

namespace cli {

void printRunOutcome(std::ostream& err, const std::vector<word::DocumentOutcome>& incomplete,
                     const std::vector<std::string>& messages,
                     const std::vector<std::string>& notes,
                     const app::MessageFileOutcome& messageFile);

}  // namespace cli
