#include "print/cups_submit.h"

#include <cups/cups.h>

namespace print {

int submitPdf(const std::string& destination, const std::filesystem::path& pdf,
              const std::string& title, std::string& reason) {
  if (destination.empty()) {
    reason = "Es ist kein Standarddrucker eingerichtet.";
    return 0;
  }
  cups_option_t* options = nullptr;
  // The document type is given so that CUPS does not have to guess it from the content.
  const int count = cupsAddOption("document-format", "application/pdf", 0, &options);
  const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, destination.c_str(), pdf.c_str(), title.c_str(),
                                 count, options);
  cupsFreeOptions(count, options);
  if (job <= 0) {
    const char* why = cupsLastErrorString();
    reason = "Der Drucker " + destination +
             " hat den Auftrag abgelehnt: " + (why && *why ? why : "unbekannter Fehler");
    return 0;
  }
  return job;
}

}  // namespace print
