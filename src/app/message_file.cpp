#include "app/message_file.h"

#include "app/run_services.h"
#include "base/atomic_write.h"
#include "base/visible_text.h"

namespace fs = std::filesystem;

namespace app {

std::string messageFileFailure(const MessageFileOutcome& outcome, const std::string& intended) {
  std::string text =
      "Die Meldungsdatei " + intended + " konnte nicht geschrieben werden: " + outcome.error + ".";
  if (outcome.staleFileLeft) text += " Die vorhandene Datei stammt aus einem früheren Lauf.";
  return text;
}

MessageFileOutcome writeMessageFile(const std::vector<std::string>& messages,
                                    const RunServices& run) {
  return writeMessageFile(messages, {}, run);
}

MessageFileOutcome writeMessageFile(const std::vector<std::string>& messages,
                                    const std::vector<std::string>& notes, const RunServices& run) {
  const std::string out = run.settings.get(kDataFilesPfad);
  std::error_code ec;
  const bool folderExists = !out.empty() && fs::is_directory(out, ec);
  const fs::path file = fs::path(out.empty() ? "." : out) / kMessageFileName;

  if (messages.empty() && notes.empty()) {
    // Only a regular file is an old message file: a link or a pipe at its name is left alone.
    if (folderExists && fs::is_regular_file(fs::symlink_status(file, ec))) {
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
    // One message a line, whatever control characters the table texts in it hold.
    for (const auto& m : messages) text += base::visibleText(m) + "\r\n";
    for (const auto& n : notes) text += kNotePrefix + base::visibleText(n) + "\r\n";
    if (const auto failure = base::replaceFile(file, text, 0644)) {
      outcome.error = base::fileErrorText(failure.error);
      outcome.staleFileLeft = fs::is_regular_file(fs::symlink_status(file, ec));
    } else {
      outcome.file = file;
    }
  }
  if (!outcome.file.empty() && messages.empty()) {
    run.ui.message(MessageIcon::Information,
                   "Hinweise zu den Daten stehen in der Datei:\n" + file.string());
  } else if (!outcome.file.empty()) {
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

void reportUnreadableSurvey(const std::string& text, const std::string& cause,
                            const RunServices& run, MessageIcon icon) {
  std::string reason = cause;
  while (!reason.empty() && (reason.back() == '.' || reason.back() == ' ')) reason.pop_back();
  run.ui.message(icon, reason.empty() ? text : text + "\nGrund: " + reason + ".");
  std::string line = text;
  for (char& c : line)
    if (c == '\n') c = ' ';
  writeMessageFile({reason.empty() ? line : line + " Grund: " + reason + "."}, run);
}

}  // namespace app
