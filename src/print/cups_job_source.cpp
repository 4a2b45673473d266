#include "print/cups_job_source.h"

#include <cups/cups.h>

#include <climits>
#include <cstring>

#include "print/sleep.h"

namespace print {
namespace {

// Frees an IPP message however the function that got it leaves.
struct IppDeleter {
  void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

int32_t bytesFromKilobytes(int kilobytes) {
  if (kilobytes <= 0) return 0;
  const long long bytes = static_cast<long long>(kilobytes) * 1024;
  return bytes > INT32_MAX ? INT32_MAX : static_cast<int32_t>(bytes);
}

// Reads the job that starts at attr (the first attribute of a job group) and leaves attr at the
// group's end.
SpoolerJob readJob(ipp_t* response, ipp_attribute_t*& attr) {
  SpoolerJob job;
  int impressions = -1;
  int impressionsCompleted = 0;
  for (; attr && ippGetGroupTag(attr) == IPP_TAG_JOB; attr = ippNextAttribute(response)) {
    const char* name = ippGetName(attr);
    if (!name) continue;
    const ipp_tag_t tag = ippGetValueTag(attr);
    if (std::strcmp(name, "job-id") == 0 && tag == IPP_TAG_INTEGER) {
      job.id = ippGetInteger(attr, 0);
    } else if (std::strcmp(name, "job-name") == 0 &&
               (tag == IPP_TAG_NAME || tag == IPP_TAG_NAMELANG || tag == IPP_TAG_TEXT)) {
      const char* title = ippGetString(attr, 0, nullptr);
      job.document = title ? title : "";
    } else if (std::strcmp(name, "job-k-octets") == 0 && tag == IPP_TAG_INTEGER) {
      job.size = bytesFromKilobytes(ippGetInteger(attr, 0));
    } else if (std::strcmp(name, "job-impressions") == 0 && tag == IPP_TAG_INTEGER) {
      impressions = ippGetInteger(attr, 0);
    } else if (std::strcmp(name, "job-impressions-completed") == 0 && tag == IPP_TAG_INTEGER) {
      impressionsCompleted = ippGetInteger(attr, 0);
    }
  }
  // The page count when the queue knows it, else what has been printed so far.
  job.totalPages = impressions >= 0 ? impressions : impressionsCompleted;
  if (job.totalPages < 0) job.totalPages = 0;
  return job;
}

// The printer's address on the local server; empty for a name that cannot be one.
std::string printerUri(const std::string& device) {
  if (device.empty()) return "";
  char uri[HTTP_MAX_URI];
  if (httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0,
                       "/printers/%s", device.c_str()) != HTTP_URI_STATUS_OK)
    return "";
  return uri;
}

// Sends the request to the local server (which takes it over in every case) and answers the
// response. The server may take tens of milliseconds when busy; a window goes on answering.
ipp_t* ask(ipp_t* request) {
  return whileServingEvents([request] { return cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"); });
}

}  // namespace

std::optional<std::vector<SpoolerJob>> CupsJobSource::readJobs(const std::string& device) {
  const std::string uri = printerUri(device);
  if (uri.empty()) return std::nullopt;

  ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "not-completed");
  static const char* const kAttributes[] = {"job-id", "job-name", "job-k-octets", "job-impressions",
                                            "job-impressions-completed"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(sizeof(kAttributes) / sizeof(kAttributes[0])), nullptr,
                kAttributes);
  IppPtr response(ask(request));
  if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE)
    return std::nullopt;

  std::vector<SpoolerJob> jobs;
  ipp_attribute_t* attr = ippFirstAttribute(response.get());
  while (attr) {
    if (ippGetGroupTag(attr) != IPP_TAG_JOB) {
      attr = ippNextAttribute(response.get());
      continue;
    }
    SpoolerJob job = readJob(response.get(), attr);
    if (job.id > 0) jobs.push_back(std::move(job));
  }
  return jobs;
}

PrinterState CupsJobSource::readPrinterState(const std::string& device) {
  PrinterState state;
  const std::string uri = printerUri(device);
  if (uri.empty()) return state;
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
  static const char* const kAttributes[] = {"printer-state", "printer-state-reasons"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(sizeof(kAttributes) / sizeof(kAttributes[0])), nullptr,
                kAttributes);
  IppPtr response(ask(request));
  if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE) return state;

  if (ipp_attribute_t* s = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM))
    state.stopped = ippGetInteger(s, 0) == IPP_PSTATE_STOPPED;
  if (ipp_attribute_t* r =
          ippFindAttribute(response.get(), "printer-state-reasons", IPP_TAG_KEYWORD)) {
    for (int i = 0; i < ippGetCount(r); ++i) {
      const char* reason = ippGetString(r, i, nullptr);
      if (!reason || std::strcmp(reason, "none") == 0) continue;
      // A driver that has lost its printer says so with "offline-report"; the queue keeps its
      // jobs then as it does for a stopped printer.
      if (std::strncmp(reason, "offline", 7) == 0) state.stopped = true;
      state.reasons += (state.reasons.empty() ? "" : ", ") + std::string(reason);
    }
  }
  return state;
}

std::string defaultPrinterName() {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
  if (!dest) return "";
  std::string name = dest->name ? dest->name : "";
  cupsFreeDests(1, dest);
  return name;
}

}  // namespace print
