#include "word/cls_word_doc.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "app/program_objects.h"
#include "app/resource_folder.h"
#include "app/run_services.h"
#include "base/atomic_write.h"
#include "data/schema/sheet_types.h"
#include "print/document_output.h"
#include "print/print_order.h"
#include "print/print_wait.h"
#include "print/sleep.h"
#include "word/docx/atomic_file.h"
#include "word/docx/document.h"
#include "word/error_text.h"
#include "word/template_check.h"
#include "word/template_checks.h"

// The document engine's life, its templates, opening a document and saving it (with printing
// and the PDF copy). Bookmarks are in cls_word_doc_bookmarks.cpp, the map in
// cls_word_doc_drawing.cpp.

namespace fs = std::filesystem;

namespace word {
namespace {

// Why a sheet whose type column is empty gets no document.
constexpr const char* kNoSheetType = "Der Geländebogen hat keinen Bogentyp (GBBOGEN ist leer).";

DocumentPrinter& printer() {
  static DocumentPrinter p;
  return p;
}

std::unique_ptr<clsWordDoc>& instance() {
  static std::unique_ptr<clsWordDoc> doc = std::make_unique<clsWordDoc>();
  return doc;
}

}  // namespace

clsWordDoc& g_WordDoc() {
  return *instance();
}
void resetWordDoc() {
  instance() = std::make_unique<clsWordDoc>();
}

std::string programFolder() {
  return app::resourceFolder().string();
}

void clsWordDoc::setPrinter(DocumentPrinter p) {
  printer() = std::move(p);
}

clsWordDoc::clsWordDoc(const app::RunServices& services, bool servesEvents) : clsWordDoc() {
  services_ = std::make_unique<app::RunServices>(services);
  servesEvents_ = servesEvents;
}

app::clsDebug& clsWordDoc::log() const {
  return services_ ? services_->log : app::g_Debug();
}
const app::Settings& clsWordDoc::settings() const {
  return services_ ? services_->settings : app::settings();
}
app::UserInterface& clsWordDoc::ui() const {
  return services_ ? services_->ui : app::ui();
}

template <typename Work>
void clsWordDoc::serving(Work&& work) {
  if (servesEvents_ && ui().hasEvents())
    print::whileServingEvents(std::forward<Work>(work));
  else
    work();
}

clsWordDoc::clsWordDoc() {
  for (const data::schema::DocumentTemplate& t : data::schema::documentTemplates())
    templates_.add(t.key, "Templates/" + t.fileName);
}

clsWordDoc::~clsWordDoc() {
  stopCapture();
}

void clsWordDoc::stopCapture() {
  log().setErrorCapture(nullptr);
}

void clsWordDoc::noteUnfilled(const std::string& cause) {
  outcome_.unfilled.push_back(cause);
}

const std::set<std::string>& clsWordDoc::requiredBookmarks(const std::string& key) {
  auto it = requiredByKey_.find(key);
  if (it == requiredByKey_.end()) {
    const auto names = bookmarksOfTemplate(key);
    it = requiredByKey_.emplace(key, std::set<std::string>(names.begin(), names.end())).first;
  }
  return it->second;
}

void clsWordDoc::markIncomplete(const std::string& part) {
  if (std::find(outcome_.missing.begin(), outcome_.missing.end(), part) == outcome_.missing.end())
    outcome_.missing.push_back(part);
}

std::string clsWordDoc::TemplateProblem(const std::string& key, const std::string& programFolder) {
  const std::string* relative = templates_.find(key);
  if (!relative) {
    // A sheet whose GBBOGEN is empty asks for the template of an empty type.
    if (key.empty() || key == "-Report") return kNoSheetType;
    return "Zu dem Schlüssel " + key + " existiert kein Template.";
  }
  const fs::path file = fs::path(programFolder) / *relative;
  const std::string problem = templateProblemOf(key, file, true);
  return problem.empty() ? std::string() : templateMessage(file, problem);
}

// The type folder must be the output folder's own, not a link to somewhere else. Resolving both
// costs a system call per folder of their paths, so a folder found sound is trusted while it and
// the output folder stay the same folders (device and inode, links followed).
bool clsWordDoc::isOwnTypeFolder(const fs::path& target, const fs::path& out) {
  struct stat t {};
  struct stat o {};
  const bool known = ::stat(target.c_str(), &t) == 0 && ::stat(out.c_str(), &o) == 0;
  const std::array<std::uint64_t, 4> identity{t.st_dev, t.st_ino, o.st_dev, o.st_ino};
  if (known) {
    const auto it = soundFolders_.find(target.string());
    if (it != soundFolders_.end() && it->second == identity) return true;
  }
  if (fs::canonical(target).parent_path() != fs::canonical(out)) return false;
  if (known) soundFolders_[target.string()] = identity;
  return true;
}

// A document that cannot be started: the message names the file and the cause.
void clsWordDoc::refuse(const std::string& file, const std::string& cause,
                        std::vector<std::string>& messages) {
  messages.push_back("Das Dokument " + file + " konnte nicht erstellt werden: " + cause);
  log().Ausgabe(2, "OpenWordDokument: Fehler! Das Dokument " + file +
                       " konnte nicht erstellt werden: " + cause);
}

fs::path clsWordDoc::documentFile(const std::string& out, const std::string& name,
                                  int16_t keyOffset, bool useOwnFolder,
                                  const std::string& ownFolder) {
  const std::size_t offset = keyOffset < 0 ? 0 : static_cast<std::size_t>(keyOffset);
  const std::string key = name.size() > offset ? name.substr(offset) : std::string();
  std::string folderName = key;
  if (key == "Deckblatt" || (key.size() > 7 && key.compare(key.size() - 7, 7, "-Report") == 0))
    folderName = "Report";
  if (useOwnFolder) folderName = ownFolder;
  return fs::path(out) / folderName / (name + ".docx");
}

int16_t clsWordDoc::CreateWordApplication() {
  outcome_ = {};
  if (application_) {
    log().Ausgabe(2, "Fehler! Es ist zur Zeit noch eine Wordanwendung aktiv.");
    return 101;
  }
  application_ = true;
  return 100;
}

void clsWordDoc::DeleteWordApplication() {
  runMessages_ = nullptr;
  stopCapture();
  document_.reset();
  documentPath_.clear();
  application_ = false;
}

bool clsWordDoc::guard(const std::string& routine) {
  if (document_) return true;
  log().Ausgabe(2, routine + ": Fehler! Es ist zur Zeit kein WordDokument aktiv.");
  return false;
}

bool clsWordDoc::locate(const std::string& routine, const std::string& name) {
  if (!guard(routine)) return false;
  if (document_->bookmarks().exists(name, docx::BookmarkScope::kMainText)) return true;
  missingBookmark(routine, name);
  return false;
}

// A bookmark the template need not carry (one for a column an office added to its tables) costs
// the document nothing; one the routines must fill leaves its part unfilled.
void clsWordDoc::missingBookmark(const std::string& routine, const std::string& name) {
  log().Ausgabe(2, routine + ": Fehler! Die Textmarke " + name + " existiert nicht.");
  if (required_ && required_->count(name))
    noteUnfilled("die Textmarke " + name + " fehlt in der Vorlage");
}

void clsWordDoc::logUncaught(const std::string& routine, const std::exception& e) {
  log().Ausgabe(2, routine + ": Fehler! Nicht abgefangener Fehler." + errorText(e));
  if (document_) noteUnfilled(userCause(e));
}

int16_t clsWordDoc::OpenWordDokument(const std::string& name, const std::string& programFolder,
                                     std::vector<std::string>& messages, int16_t keyOffset,
                                     bool useOwnFolder, const std::string& ownFolder) {
  app::clsDebug& log = this->log();
  if (document_) {
    log.Ausgabe(2, "OpenWordDokument: Fehler! Es ist zur Zeit noch ein WordDokument aktiv.");
    return 101;
  }
  const std::size_t offset = keyOffset < 0 ? 0 : static_cast<std::size_t>(keyOffset);
  const std::string key = name.size() > offset ? name.substr(offset) : std::string();
  outcome_ = DocumentOutcome{};
  outcome_.name = name;
  required_ = &requiredBookmarks(key);
  // From here on the errors logged belong to this document; CloseWordDokument ends the capture.
  log.setErrorCapture(&outcome_.causes);
  const std::string* relative = templates_.find(key);
  // The name becomes the file name: only a code of digits and a known template key may, so
  // that no code ("../x", "/tmp/x") can lead the document out of the output folder.
  if (!relative) {
    log.Ausgabe(2,
                "OpenWordDokument: Fehler! " +
                    (key.empty() || key == "-Report"
                         ? "Der Geländebogen " + name.substr(0, offset) + " hat keinen Bogentyp."
                         : "Zu dem Geländebogen " + name + " existiert kein passendes Template."));
    return 101;
  }
  if (!isSafeDocumentName(name, offset)) {
    refuse("\"" + name + "\"",
           "die Kennung besteht nicht aus " + std::to_string(offset) + " Ziffern.", messages);
    return 101;
  }
  const fs::path templateFile = fs::path(programFolder) / *relative;
  std::error_code ec;
  if (!templateIsFile(templateFile)) {
    log.Ausgabe(2, "OpenWordDokument: Fehler! Die Templatedatei " + templateFile.string() +
                       " wurde nicht gefunden.");
    return 101;
  }
  const std::string out = settings().get(app::kDataFilesPfad);
  if (out.empty()) {
    log.Ausgabe(2,
                "OpenWordDokument: Fehler! Der Pfad für die zu generierenden Dateien wurde nicht "
                "gefunden.");
    return 101;
  }
  const fs::path file = documentFile(out, name, keyOffset, useOwnFolder, ownFolder);
  const fs::path target = file.parent_path();
  outcome_.file = file;
  // A broken template would give a document no word processor opens: none is made from it.
  if (const std::string problem = templateProblemOf(key, templateFile, false); !problem.empty()) {
    refuse(file.string(), templateMessage(templateFile, problem), messages);
    return 101;
  }
  if (useOwnFolder && !templates_.find(ownFolder)) {
    refuse(file.string(), "der Ordner \"" + ownFolder + "\" ist kein Ordner eines Bogentyps.",
           messages);
    return 101;
  }
  try {
    // The umask of the user applies; a type folder gets the access rights of a new folder.
    if (!fs::is_directory(target, ec) && mkdir(target.c_str(), 0777) != 0 && errno != EEXIST) {
      refuse(file.string(),
             "der Ordner " + target.string() +
                 " kann nicht angelegt werden: " + base::fileErrorText(errno) + ".",
             messages);
      return 101;
    }
    if (!isOwnTypeFolder(target, out)) {
      refuse(file.string(), "der Ordner " + target.string() + " liegt nicht im Ausgabeordner.",
             messages);
      return 101;
    }
    auto doc = std::make_unique<docx::Document>(docx::Document::open(templateFile));
    doc->setLanguageGerman();
    doc->setPrintLayoutView();
    // The document is written once, when it is closed; a file open in another program is
    // refused now, before any work is done for it.
    docx::checkNotOpenElsewhere(file);
    document_ = std::move(doc);
    documentPath_ = file;
    runMessages_ = &messages;
    return 100;
  } catch (const std::exception& e) {
    document_.reset();
    documentPath_.clear();
    const auto* d = dynamic_cast<const docx::DocxError*>(&e);
    // The engine reports a target it may not write like one open elsewhere; only the latter is
    // what the message says.
    if (d && d->code() == docx::ErrorCode::kFileOpen &&
        d->description().find("anderen Programm") != std::string::npos) {
      messages.push_back("Der Gelängebogen " + file.string() +
                         " konnte nicht generiert werden, da die Datei geöffnet ist.");
      log.Ausgabe(2,
                  "Fehler! Der Geländebogen " + file.string() + " konnte nicht generiert werden.");
    } else {
      refuse(file.string(), errorText(e), messages);
    }
    return 101;
  }
}

void clsWordDoc::CloseWordDokument() {
  if (!document_) return;
  app::clsDebug& log = this->log();
  auto failed = [&](const std::string& what, const std::string& reason) {
    log.Ausgabe(2, "CloseWordDokument: Fehler! " + what + ": " + reason);
    if (runMessages_) runMessages_->push_back(what + ": " + reason);
  };
  try {
    // Hashing the password and packing the document take tens of milliseconds; a window goes
    // on answering meanwhile (nothing it serves touches the document).
    // OpenWordDokument has looked for another editor's lock on the file, a moment ago.
    serving([this] {
      document_->protectFormsWithRandomPassword();
      document_->save(documentPath_, docx::Durability::kRename, docx::LockProbe::kProbed);
    });
    if (document_->protectionType() == -1) log.Ausgabe(1, "No Protection activated");
    outcome_.saved = true;
    print::PrintOrder* order = print::PrintOrder::running();
    if (settings().get(app::kDataFilesPrint) == "1" && order) {
      // The run's printing thread hands it to the printer in the order of the selection and
      // waits for it there, while this worker goes on with the next document.
      std::string reason;
      if (!order->add(documentPath_, runMessages_, reason))
        failed("Das Dokument " + documentPath_.string() + " konnte nicht gedruckt werden", reason);
    } else if (settings().get(app::kDataFilesPrint) == "1") {
      std::string reason = "Drucken wird von dieser Installation nicht unterstützt.";
      if (!printer() || !printer()(documentPath_, reason)) {
        failed("Das Dokument " + documentPath_.string() + " konnte nicht gedruckt werden", reason);
      } else {
        const print::PrintWait wait = print::waitForPrintQueue(documentPath_.filename().string());
        for (const auto& job : wait.remaining) failed(wait.unfinished(job), wait.reason());
        print::Sleep(800);
        ui().processEvents();
        serving([this] { document_->save(documentPath_); });
      }
    }
    if (const print::DocumentHook& pdf = print::pdfCopies()) {
      std::string reason;
      if (!pdf(documentPath_, reason))
        failed("Von dem Dokument " + documentPath_.string() +
                   " konnte keine PDF-Datei geschrieben werden",
               reason);
    }
    ui().processEvents();
    document_.reset();
  } catch (const std::exception& e) {
    ui().message(app::MessageIcon::None, errorText(e));
    log.Ausgabe(1, errorText(e));
    outcome_.causes.push_back(errorText(e));
  }
  stopCapture();
}

}  // namespace word
