#include "print/libre_office.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
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
constexpr int kMaxInstanceStarts = 5;

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

// A name nobody else can guess for the instance's --accept pipe, so that no other program can
// have taken it first.
std::string pipeName() {
  std::random_device random;
  static const char* const kHex = "0123456789abcdef";
  std::string name = "quelbrix-";
  for (int i = 0; i < 16; ++i) name += kHex[random() & 0x0F];
  return name;
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

LibreOfficeConverter::LibreOfficeConverter(fs::path program)
    : program_(std::move(program)), conversionTimeout_(kConversionTimeout) {
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

void LibreOfficeConverter::endInstance(bool gently) {
  if (gently && bridge_.connected()) {
    bridge_.stop(true);
    instance_.wait(std::chrono::seconds(5), serveEvents);
  }
  bridge_.stop();
  instance_.terminate(std::chrono::seconds(10), serveEvents);
  instance_ = ChildProcess();
  // An office that was ended leaves its --accept pipe behind.
  if (!pipe_.empty()) {
    for (const char* folder : {"/tmp", "/var/tmp"}) {
      const fs::path socket =
          fs::path(folder) / ("OSL_PIPE_" + std::to_string(getuid()) + "_" + pipe_);
      struct stat st {};
      if (lstat(socket.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == getuid())
        unlink(socket.c_str());
    }
    pipe_.clear();
  }
}

void LibreOfficeConverter::shutdown() {
  endInstance(true);
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
  if (instanceRunning() && (noUno_ || bridge_.connected())) return true;
  // Dead, or its helper is: a new pair.
  if (instance_.started()) endInstance();
  if (instanceStarts_ >= kMaxInstanceStarts) {
    instanceFailed_ = true;
    return false;
  }
  ++instanceStarts_;
  if (!noUno_ && startInstance(true)) return true;
  // Without the uno module the same start is made once more for handed-over calls.
  if (noUno_ && startInstance(false)) return true;
  // A half-started instance is gone (startInstance ended it) before a conversion runs on its
  // own, or the two would meet on the profile. Trying again would cost the whole wait once
  // more per document, so the rest of the run converts without an instance.
  instanceFailed_ = true;
  return false;
}

bool LibreOfficeConverter::startInstance(bool throughUno) {
  std::error_code ec;
  std::vector<std::string> argv = baseArguments();
  const fs::path keep = work_ / kKeepOpen;
  // LibreOffice marks a document it has opened with a lock file; its appearance tells that the
  // instance is up and will take over later calls.
  const fs::path lock = work_ / (std::string(".~lock.") + kKeepOpen + "#");
  if (throughUno) {
    pipe_ = pipeName();
    argv.push_back(OfficeBridge::acceptArgument(pipe_));
  } else {
    fs::remove(lock, ec);
    if (!fs::exists(keep, ec)) {
      FILE* f = std::fopen(keep.c_str(), "w");
      if (f) std::fclose(f);
    }
    argv.push_back(keep.string());
  }
  std::string reason;
  instance_ = whileServingEvents(
      [&] { return ChildProcess::start(argv, work_ / "office.log", reason, true); });
  if (!instance_.started()) return false;
  if (throughUno) {
    const OfficeBridge::Answer answer = bridge_.connect(pipe_, work_ / "office.log", kStartTimeout,
                                                        [this] { return instance_.running(); });
    if (answer == OfficeBridge::Answer::kDone) return true;
    noUno_ = answer == OfficeBridge::Answer::kNoBridge;
    endInstance();
    return false;
  }
  const auto end = std::chrono::steady_clock::now() + kStartTimeout;
  while (!fs::exists(lock, ec)) {
    if (!instance_.running() || std::chrono::steady_clock::now() >= end) {
      endInstance();
      return false;
    }
    std::this_thread::sleep_for(kServeInterval);
    serveEvents();
  }
  return true;
}

LibreOfficeConverter::Outcome LibreOfficeConverter::convertOnce(const fs::path& copy,
                                                                const fs::path& outDir) {
  if (noUno_ || !instanceRunning()) return convertByCall(copy, outDir);
  const fs::path produced = outDir / (copy.stem().string() + ".pdf");
  bool timedOut = false;
  std::string detail;
  switch (bridge_.convert(
      fileUrl(copy), fileUrl(produced), conversionTimeout_, [this] { return instance_.running(); },
      timedOut, detail)) {
    case OfficeBridge::Answer::kDone:
      break;
    case OfficeBridge::Answer::kFailed:
    case OfficeBridge::Answer::kNoBridge:
      return Outcome::kFailed;
    case OfficeBridge::Answer::kBroken:
      return timedOut ? Outcome::kTimedOut : Outcome::kBroken;
  }
  std::error_code ec;
  return fs::is_regular_file(produced, ec) && fs::file_size(produced, ec) > 0 ? Outcome::kDone
                                                                              : Outcome::kFailed;
}

// A `soffice --convert-to` call: taken over by the instance when one runs, else a LibreOffice
// of its own.
LibreOfficeConverter::Outcome LibreOfficeConverter::convertByCall(const fs::path& copy,
                                                                  const fs::path& outDir) {
  const bool handedOver = instanceRunning();
  std::vector<std::string> argv = baseArguments();
  for (const char* a : {"--convert-to", "pdf", "--outdir"}) argv.push_back(a);
  argv.push_back(outDir.string());
  argv.push_back(copy.string());
  std::string reason;
  ChildProcess call =
      whileServingEvents([&] { return ChildProcess::start(argv, work_ / "office.log", reason); });
  if (!call.started()) return Outcome::kFailed;
  if (!call.wait(conversionTimeout_, serveEvents)) {
    call.terminate(std::chrono::seconds(10), serveEvents);
    return Outcome::kTimedOut;
  }
  const fs::path produced = outDir / (copy.stem().string() + ".pdf");
  std::error_code ec;
  if (waitForFile(produced, instanceRunning() ? kOutputGrace : std::chrono::seconds(0)) &&
      fs::file_size(produced, ec) > 0)
    return Outcome::kDone;
  return handedOver && !instanceRunning() ? Outcome::kBroken : Outcome::kFailed;
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
  const std::string name = source.filename().string();
  for (int attempt = 0;; ++attempt) {
    const bool resident = ensureInstance();
    const Outcome outcome = convertOnce(copy, job / "out");
    if (outcome == Outcome::kDone) break;
    if (outcome == Outcome::kFailed) {
      reason = "LibreOffice hat aus dem Dokument " + name + " keine PDF-Datei erzeugt.";
      fs::remove_all(job, ec);
      return false;
    }
    // Died or hung over this document: a new instance, and the document once more on it.
    if (resident) endInstance();
    if (resident && attempt == 0) {
      ++retries_;
      fs::remove_all(job / "out", ec);
      fs::create_directories(job / "out", ec);
      continue;
    }
    reason = outcome == Outcome::kTimedOut
                 ? "LibreOffice hat das Dokument " + name +
                       " nicht in der vorgesehenen Zeit in PDF umgewandelt."
                 : "LibreOffice ist beim Umwandeln des Dokuments " + name + " abgebrochen.";
    fs::remove_all(job, ec);
    return false;
  }
  const fs::path produced = job / "out" / (source.stem().string() + ".pdf");
  const fs::path target = folder / produced.filename();
  const bool moved = moveInto(produced, target, reason);
  fs::remove_all(job, ec);
  if (!moved) return false;
  pdf = target;
  return true;
}

}  // namespace print
