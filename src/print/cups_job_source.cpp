#include "print/cups_job_source.h"

#include <cups/cups.h>

#include <climits>
#include <cstring>

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

}  // namespace

std::optional<std::vector<SpoolerJob>> CupsJobSource::readJobs(const std::string& device) {
  if (device.empty()) return std::nullopt;
  char uri[HTTP_MAX_URI];
  if (httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0,
                       "/printers/%s", device.c_str()) != HTTP_URI_STATUS_OK)
    return std::nullopt;

  ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "not-completed");
  static const char* const kAttributes[] = {"job-id", "job-name", "job-k-octets", "job-impressions",
                                            "job-impressions-completed"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(sizeof(kAttributes) / sizeof(kAttributes[0])), nullptr,
                kAttributes);
  // cupsDoRequest takes the request over in every case.
  IppPtr response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
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

std::string defaultPrinterName() {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
  if (!dest) return "";
  std::string name = dest->name ? dest->name : "";
  cupsFreeDests(1, dest);
  return name;
}

}  // namespace print
