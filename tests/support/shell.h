#pragma once
// Running outside programs (LibreOffice, python-docx, pdftotext) from tests.

#include <string>

namespace testsupport {

// Runs a shell command (standard error discarded); answers its exit status, or -1 when it could
// not run, and fills output with its standard output.
int runCommand(const std::string& command, std::string* output = nullptr);

}  // namespace testsupport
