#pragma once
// Hands a finished PDF to a CUPS destination.

#include <filesystem>
#include <string>

namespace print {

// Sends pdf to destination under the job title; answers the new job's identifier, or 0 with a
// German reason when CUPS refused it or cannot be reached.
int submitPdf(const std::string& destination, const std::filesystem::path& pdf,
              const std::string& title, std::string& reason);

}  // namespace print
