#include "print/libre_office.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include "base/atomic_write.h"
#include "base/regular_file.h"
#include "base/system_error_text.h"
#include "base/temporary_file.h"
#include "print/sleep.h"

namespace print {
namespace fs = std::filesystem;

namespace {

// A fresh profile on a slow machine takes some seconds; a minute and a half leaves ample room.
constexpr std::chrono::seconds kStartTimeout(90);
// Long enough for a large document converted by a LibreOffice that has to start on its own.
constexpr std::chrono::seconds kConversionTimeout(180);
// A handed-over conversion has finished when the call returns; this only covers a slow disk.
constexpr std::chrono::seconds kOutputGrace(10);
// The background instance is started again after a crash, but not without end.
constexpr int kMaxInstanceStarts = 3;

const char* const kKeepOpen = "keep-open.txt";

std::string fileUrl(const fs::path& path) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string url = "file://";
  for (unsigned char c : path.string()) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0x0F];
    }
  }
  return url;
}

bool waitForFile(const fs::path& file, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  std::error_code ec;
  while (!fs::exists(file, ec)) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    serveEvents();
  }
  return true;
}

// Moves a finished file into place; across file systems through a temporary file of ours beside
// the target, so that the target never holds half a file and nothing at a guessable name (a
// planted link, a pipe) is ever opened.
bool moveInto(const fs::path& from, const fs::path& to, std::string& reason) {
  auto failed = [&](const std::string& cause) {
    reason = "Die PDF-Datei " + to.string() + " konnte nicht geschrieben werden: " + cause;
    return false;
  };
  if (const int kind = base::regularOrAbsent(to)) return failed(base::systemErrorText(kind));
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  if (errno != EXDEV) return failed(base::fileErrorText(errno));
  std::ifstream in(from, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.good() && !in.eof()) return failed("die umgewandelte Datei kann nicht gelesen werden");
  if (const base::WriteFailure failure = base::replaceFile(to, bytes, 0644))
    return failed(base::fileErrorText(failure.error));
  std::error_code ec;
  fs::remove(from, ec);
  return true;
}

}  // namespace

LibreOfficeConverter::LibreOfficeConverter(fs::path program) : program_(std::move(program)) {
  if (program_.empty()) program_ = findProgram({"soffice", "libreoffice"});
}

LibreOfficeConverter::~LibreOfficeConverter() {
  shutdown();
}

bool LibreOfficeConverter::available(std::string& reason) const {
  std::error_code ec;
  if (!program_.empty() && fs::is_regular_file(program_, ec)) return true;
  reason = program_.empty()
               ? "LibreOffice (soffice) wurde nicht gefunden; ohne LibreOffice können die "
                 "Dokumente nicht in PDF umgewandelt und gedruckt werden."
               : "LibreOffice wurde unter " + program_.string() +
                     " nicht gefunden; ohne LibreOffice können die Dokumente nicht in PDF "
                     "umgewandelt und gedruckt werden.";
  return false;
}

bool LibreOfficeConverter::instanceRunning() {
  return instance_.started() && instance_.running();
}

void LibreOfficeConverter::shutdown() {
  instance_.terminate();
  instance_ = ChildProcess();
  if (!work_.empty()) {
    std::error_code ec;
    fs::remove_all(work_, ec);
    work_.clear();
  }
}

bool LibreOfficeConverter::prepareWorkFolder(std::string& reason) {
  if (base::makeWorkFolder("office", work_)) return true;
  reason = "Der Arbeitsordner für LibreOffice konnte nicht angelegt werden.";
  return false;
}

std::vector<std::string> LibreOfficeConverter::baseArguments() const {
  return {program_.string(), "-env:UserInstallation=" + fileUrl(work_ / "profile"),
          "--headless",      "--invisible",
          "--norestore",     "--nologo"};
}

// Every wait for LibreOffice below serves the front end's events, so that a window stays
// answering while LibreOffice starts (seconds) or converts (minutes on its time-outs).
bool LibreOfficeConverter::ensureInstance() {
  if (instanceFailed_) return false;
  if (instanceRunning()) return true;
  if (instanceStarts_ >= kMaxInstanceStarts) {
    instanceFailed_ = true;
    return false;
  }
  ++instanceStarts_;
  std::error_code ec;
  const fs::path keep = work_ / kKeepOpen;
  // LibreOffice marks a document it has opened with a lock file; its appearance tells that the
  // instance is up and will take over later calls.
  const fs::path lock = work_ / (std::string(".~lock.") + kKeepOpen + "#");
  fs::remove(lock, ec);
  if (!fs::exists(keep, ec)) {
    FILE* f = std::fopen(keep.c_str(), "w");
    if (f) std::fclose(f);
  }
  std::vector<std::string> argv = baseArguments();
  argv.push_back(keep.string());
  std::string reason;
  instance_ = whileServingEvents(
      [&] { return ChildProcess::start(argv, work_ / "office.log", reason, true); });
  if (!instance_.started()) {
    instanceFailed_ = true;
    return false;
  }
  const auto end = std::chrono::steady_clock::now() + kStartTimeout;
  while (!fs::exists(lock, ec)) {
    if (!instance_.running() || std::chrono::steady_clock::now() >= end) {
      // A half-started instance must be gone before a conversion runs on its own, or the two
      // would meet on the profile. Trying again would cost the whole wait once more per
      // document, so the rest of the run converts without an instance.
      instance_.terminate(std::chrono::seconds(10), serveEvents);
      instance_ = ChildProcess();
      instanceFailed_ = true;
      return false;
    }
    std::this_thread::sleep_for(kServeInterval);
    serveEvents();
  }
  return true;
}

bool LibreOfficeConverter::toPdf(const fs::path& document, const fs::path& folder, fs::path& pdf,
                                 std::string& reason) {
  if (!available(reason)) return false;
  std::error_code ec;
  const fs::path source = fs::absolute(document, ec);
  if (ec || !fs::is_regular_file(fs::symlink_status(source, ec))) {
    reason = "Das Dokument " + document.string() + " wurde nicht gefunden.";
    return false;
  }
  if (!prepareWorkFolder(reason)) return false;
  ensureInstance();

  // LibreOffice works on a copy in the work folder, so that it never leaves a lock file or a
  // half-written PDF beside the user's documents.
  const fs::path job = work_ / ("job-" + std::to_string(++conversions_));
  fs::create_directories(job / "in", ec);
  fs::create_directories(job / "out", ec);
  const fs::path copy = job / "in" / source.filename();
  fs::copy_file(source, copy, fs::copy_options::overwrite_existing, ec);
  if (ec) {
    reason = "Das Dokument " + source.string() +
             " konnte nicht gelesen werden: " + base::systemErrorText(ec.value());
    return false;
  }
  std::vector<std::string> argv = baseArguments();
  for (const char* a : {"--convert-to", "pdf", "--outdir"}) argv.push_back(a);
  argv.push_back((job / "out").string());
  argv.push_back(copy.string());
  ChildProcess call =
      whileServingEvents([&] { return ChildProcess::start(argv, work_ / "office.log", reason); });
  if (!call.started()) return false;
  if (!call.wait(kConversionTimeout, serveEvents)) {
    call.terminate(std::chrono::seconds(10), serveEvents);
    // A conversion that hangs may hang the instance too; a new one is started next time.
    instance_.terminate(std::chrono::seconds(10), serveEvents);
    instance_ = ChildProcess();
    reason = "LibreOffice hat das Dokument " + source.filename().string() +
             " nicht in der vorgesehenen Zeit in PDF umgewandelt.";
    fs::remove_all(job, ec);
    return false;
  }
  const fs::path produced = job / "out" / (source.stem().string() + ".pdf");
  if (!waitForFile(produced, instanceRunning() ? kOutputGrace : std::chrono::seconds(0)) ||
      fs::file_size(produced, ec) == 0) {
    reason = "LibreOffice hat aus dem Dokument " + source.filename().string() +
             " keine PDF-Datei erzeugt.";
    fs::remove_all(job, ec);
    return false;
  }
  const fs::path target = folder / produced.filename();
  const bool moved = moveInto(produced, target, reason);
  fs::remove_all(job, ec);
  if (!moved) return false;
  pdf = target;
  return true;
}

}  // namespace print
