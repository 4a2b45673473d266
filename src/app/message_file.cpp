#include "app/message_file.h"

#include <fstream>

#include "app/program_objects.h"

namespace fs = std::filesystem;

namespace app {

fs::path writeMessageFile(const std::vector<std::string>& messages) {
  const std::string out = settings().get(kDataFilesPfad);
  std::error_code ec;
  const bool folderExists = !out.empty() && fs::is_directory(out, ec);
  const fs::path file = folderExists ? fs::path(out) / kMessageFileName : fs::path();

  if (messages.empty()) {
    if (folderExists && fs::exists(file, ec)) {
      // Removing an entry needs write access to the folder, not to the file itself.
      fs::remove(file, ec);
      if (ec) g_Debug().Ausgabe(2, "Fehler! Die Datei " + file.string() + " konnte nicht gelöscht werden.");
    }
    return {};
  }

  fs::path written;
  if (folderExists) {
    // Write beside it and rename, so a failed write never leaves half a file.
    const fs::path temp = fs::path(out) / (std::string(kMessageFileName) + ".tmp");
    {
      std::ofstream f(temp, std::ios::binary | std::ios::trunc);
      for (const auto& m : messages) f << m << "\r\n";
      f.close();
      if (!f) fs::remove(temp, ec);
    }
    if (fs::exists(temp, ec)) {
      fs::rename(temp, file, ec);
      if (!ec) written = file;
      else fs::remove(temp, ec);
    }
    if (written.empty())
      g_Debug().Ausgabe(2, "Fehler! Die Datei " + file.string() + " konnte nicht geschrieben werden.");
  }
  ui().message(MessageIcon::Warning,
               "Es sind Fehler aufgetreten. Weitere Informationen erhalten Sie über die Datei:\n" +
                   (folderExists ? file.string() : std::string()));
  return written;
}

}  // namespace app
