#include "real_chain.h"

#include <cups/cups.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <thread>

#include "print/child_process.h"
#include "print/cups_job_source.h"
#include "print/office_bridge.h"
#include "support/shell.h"

namespace printtest {
namespace fs = std::filesystem;

namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

std::string configValue(const std::string& key, const std::string& fallback) {
  std::ifstream in("/etc/cups/cups-pdf.conf");
  const std::regex line("^\\s*" + key + "\\s+(\\S.*?)\\s*$");
  std::string value = fallback;
  for (std::string text; std::getline(in, text);) {
    std::smatch m;
    if (std::regex_match(text, m, line)) value = m[1];
  }
  return value;
}

// The folders cups-pdf writes this user's files to.
std::vector<fs::path> cupsPdfFolders() {
  const passwd* user = getpwuid(getuid());
  const std::string home = user && user->pw_dir ? user->pw_dir : "";
  const std::string name = user && user->pw_name ? user->pw_name : "";
  auto expand = [&](std::string path) {
    path = replaceAll(path, "${HOME}", home);
    return fs::path(replaceAll(path, "${USER}", name));
  };
  return {expand(configValue("Out", "/var/spool/cups-pdf/${USER}")),
          expand(configValue("AnonDirName", "/var/spool/cups-pdf/ANONYMOUS"))};
}

}  // namespace

std::string libreOfficeMissing() {
  if (!print::findProgram({"soffice", "libreoffice"}).empty()) return "";
  return "LibreOffice (soffice) is not installed on this machine";
}

std::string unoMissing() {
  const fs::path python = print::pythonProgram();
  if (!python.empty() &&
      testsupport::runCommand("'" + python.string() + "' -c 'import uno' 2>/dev/null") == 0)
    return "";
  return "Python's uno module (python3-uno) is not installed on this machine";
}

std::string pdfPrinterMissing() {
  const std::string name = print::defaultPrinterName();
  if (name.empty()) return "CUPS is not running or has no default destination";
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
  std::string uri;
  if (dest) {
    const char* value = cupsGetOption("device-uri", dest->num_options, dest->options);
    uri = value ? value : "";
    cupsFreeDests(1, dest);
  }
  // Test pages go to a PDF printer only, never to paper.
  if (uri.rfind("cups-pdf:", 0) != 0)
    return "the default destination " + name + " is not a cups-pdf queue (" + uri + ")";
  return "";
}

bool mustRun() {
  const char* ci = std::getenv("CI");
  return ci && *ci && std::string(ci) != "false" && std::string(ci) != "0";
}

std::set<fs::path> cupsPdfFiles() {
  std::set<fs::path> files;
  for (const fs::path& folder : cupsPdfFolders()) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), last; !ec && it != last; it.increment(ec))
      files.insert(it->path());
  }
  return files;
}

std::optional<fs::path> cupsPdfOutput(int jobId, double timeoutSeconds) {
  // cups-pdf labels its files with the job: "job_7-title.pdf" or "title-job_7.pdf".
  const std::regex label("(^job_" + std::to_string(jobId) + "-.*|.*-job_" + std::to_string(jobId) +
                         ")\\.pdf$");
  const auto end = std::chrono::steady_clock::now() +
                   std::chrono::milliseconds(static_cast<int>(timeoutSeconds * 1000));
  do {
    for (const fs::path& file : cupsPdfFiles())
      if (std::regex_match(file.filename().string(), label)) return file;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < end);
  return std::nullopt;
}

TestQueue::TestQueue(Kind kind)
    : name_(std::string(kind == Kind::Paused ? "Quelbrix-Angehalten-" : "Quelbrix-Wartend-") +
            std::to_string(getpid())) {
  if (print::defaultPrinterName().empty()) {
    missing_ = "CUPS is not running";
    return;
  }
  // The administration tools live in sbin, which a user's PATH may lack.
  const std::string admin = "PATH=\"$PATH:/usr/sbin\" ";
  const std::string hold = kind == Kind::Holding ? " -o job-hold-until-default=indefinite" : "";
  const std::string add = admin + "lpadmin -p " + name_ + " -E -v cups-pdf:/" + hold;
  if (testsupport::runCommand(add + " -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd") != 0 &&
      testsupport::runCommand(add + " -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd") != 0) {
    missing_ = "a queue of its own could not be added (lpadmin needs the rights of root)";
    return;
  }
  added_ = true;
  if (kind == Kind::Paused && testsupport::runCommand(admin + "cupsdisable " + name_) != 0)
    missing_ = "cupsdisable " + name_ + " failed";
}

TestQueue::~TestQueue() {
  if (!added_) return;
  const std::string admin = "PATH=\"$PATH:/usr/sbin\" ";
  testsupport::runCommand(admin + "cancel -a " + name_);
  testsupport::runCommand(admin + "lpadmin -x " + name_);
}

std::vector<int> TestQueue::jobs() const {
  std::vector<int> ids;
  for (const auto& job :
       print::CupsJobSource().readJobs(name_).value_or(std::vector<print::SpoolerJob>{}))
    ids.push_back(job.id);
  return ids;
}

bool looksLikePdf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char head[5] = {};
  in.read(head, 5);
  return in && std::string(head, 5) == "%PDF-";
}

std::string pdfText(const fs::path& file) {
  std::string text;
  testsupport::runCommand("pdftotext -enc UTF-8 '" + file.string() + "' -", &text);
  return text;
}

std::vector<std::string> leftBehind(int run) {
  const std::string mark = "-" + std::to_string(run) + "-";
  std::vector<std::string> left;
  for (int look = 0; look < 20; ++look) {
    left.clear();
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(fs::temp_directory_path(), ec)) {
      const std::string name = e.path().filename().string();
      if (name.rfind("quelbrix-", 0) == 0 && name.find(mark) != std::string::npos)
        left.push_back(e.path().string());
    }
    for (const auto& e : fs::directory_iterator("/proc", ec)) {
      std::ifstream in(e.path() / "cmdline", std::ios::binary);
      std::string line;
      std::getline(in, line, '\n');
      if (line.find("quelbrix-office" + mark) != std::string::npos)
        left.push_back(e.path().filename().string() + ": " + line.substr(0, line.find('\0')));
    }
    if (left.empty()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return left;
}

}  // namespace printtest
