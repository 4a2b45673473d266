#include "app/message_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/run_services.h"

namespace fs = std::filesystem;

namespace app {
namespace {

// Writes text to file through a hidden temporary file beside it; answers the errno of the
// first failure, 0 on success. The temporary file never survives a failure.
int replaceFile(const fs::path& file, const std::string& text) {
  // Built piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "." + std::string&&.
  std::string hidden = ".";
  hidden += file.filename().string();
  hidden += ".XXXXXX";
  std::string temp = (file.parent_path() / hidden).string();
  const int fd = mkstemp(temp.data());
  if (fd < 0) return errno;
  int error = 0;
  for (std::size_t done = 0; done < text.size() && error == 0;) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno != EINTR) error = errno;
    if (n > 0) done += static_cast<std::size_t>(n);
  }
  if (error == 0 && fchmod(fd, 0644) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temp.c_str(), file.c_str()) != 0) error = errno;
  if (error != 0) ::unlink(temp.c_str());
  return error;
}

}  // namespace

std::string fileErrorText(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "keine Schreibberechtigung";
    case EROFS:
      return "der Datenträger ist schreibgeschützt";
    case ENOSPC:
    case EDQUOT:
      return "der Datenträger ist voll";
    case ENOENT:
    case ENOTDIR:
      return "der Ordner existiert nicht";
    default:
      return std::string("Systemfehler ") + std::to_string(error) + " (" + std::strerror(error) +
             ")";
  }
}

std::string messageFileFailure(const MessageFileOutcome& outcome, const std::string& intended) {
  std::string text =
      "Die Meldungsdatei " + intended + " konnte nicht geschrieben werden: " + outcome.error + ".";
  if (outcome.staleFileLeft) text += " Die vorhandene Datei stammt aus einem früheren Lauf.";
  return text;
}

MessageFileOutcome writeMessageFile(const std::vector<std::string>& messages,
                                    const RunServices& run) {
  const std::string out = run.settings.get(kDataFilesPfad);
  std::error_code ec;
  const bool folderExists = !out.empty() && fs::is_directory(out, ec);
  const fs::path file = fs::path(out.empty() ? "." : out) / kMessageFileName;

  if (messages.empty()) {
    if (folderExists && fs::exists(file, ec)) {
      // Removing an entry needs write access to the folder, not to the file itself.
      fs::remove(file, ec);
      if (ec)
        run.log.Ausgabe(2, "Fehler! Die Datei " + file.string() + " konnte nicht gelöscht werden.");
    }
    return {};
  }

  MessageFileOutcome outcome;
  if (!folderExists) {
    outcome.error = "der Ausgabeordner " + out + " existiert nicht";
  } else {
    std::string text;
    for (const auto& m : messages) text += m + "\r\n";
    if (const int error = replaceFile(file, text); error != 0) {
      outcome.error = fileErrorText(error);
      outcome.staleFileLeft = fs::exists(file, ec);
    } else {
      outcome.file = file;
    }
  }
  if (!outcome.file.empty()) {
    run.ui.message(
        MessageIcon::Warning,
        "Es sind Fehler aufgetreten. Weitere Informationen erhalten Sie über die Datei:\n" +
            file.string());
  } else {
    const std::string failure = messageFileFailure(outcome, file.string());
    run.log.Ausgabe(2, "Fehler! " + failure);
    run.ui.message(MessageIcon::Warning, "Es sind Fehler aufgetreten.\n" + failure);
  }
  return outcome;
}

}  // namespace app
