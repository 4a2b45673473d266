#include "word/cls_word_doc.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <map>
#include <mutex>
#include <random>

#include "app/program_objects.h"
#include "app/resource_folder.h"
#include "app/run_services.h"
#include "base/atomic_write.h"
#include "base/run_files.h"
#include "data/schema/sheet_types.h"
#include "print/document_output.h"
#include "print/print_order.h"
#include "print/print_wait.h"
#include "print/sleep.h"
#include "word/docx/atomic_file.h"
#include "word/docx/document.h"
#include "word/error_text.h"
#include "word/template_check.h"

namespace fs = std::filesystem;

namespace word {
namespace {

constexpr const char* kTimesNewRoman = "Times New Roman";
// Why a sheet whose type column is empty gets no document.
constexpr const char* kNoSheetType = "Der Geländebogen hat keinen Bogentyp (GBBOGEN ist leer).";

DocumentPrinter& printer() {
  static DocumentPrinter p;
  return p;
}

// A size text such as "11"; empty means "leave the size alone".
docx::RunFormat textFormat(const std::string& size, bool bold) {
  docx::RunFormat f;
  f.bold = bold;
  f.fontName = kTimesNewRoman;
  if (!size.empty()) {
    double points = 0;
    const auto [end, ec] = std::from_chars(size.data(), size.data() + size.size(), points);
    if (ec != std::errc() || end != size.data() + size.size())
      throw docx::DocxError(docx::ErrorCode::kInvalidArgument, "Ungültige Schriftgröße: " + size);
    f.sizePt = points;
  }
  return f;
}

std::size_t characterCount(const std::string& utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

std::string trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool isAsciiAlnum(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// A structure value that says nothing: empty, or one character (not byte) that is neither a
// letter nor a digit, such as "-" or "–".
bool isEmptyValue(const std::string& value) {
  if (value.empty()) return true;
  if (characterCount(value) != 1) return false;
  const auto first = static_cast<unsigned char>(value[0]);
  if (first < 0x80) return !isAsciiAlnum(value[0]);
  // Latin-1 letters (U+00C0..U+00FF but the two signs) count as letters.
  return !(first == 0xC3 && value.size() == 2 && value[1] != '\x97' && value[1] != '\xB7');
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t pos; (pos = text.find(separator, start)) != std::string::npos; start = pos + 1)
    pieces.push_back(text.substr(start, pos - start));
  pieces.push_back(text.substr(start));
  return pieces;
}

// The result of each template's check, made once per template file as it stands (a template
// changed on disk is checked again, by the next run: base::keptRun).
class TemplateChecks {
 public:
  // Whether a regular file lies at file (a link followed, as opening it does).
  bool isFile(const fs::path& file) {
    std::lock_guard lock(mutex_);
    return identity(file).regular;
  }
  // withBookmarks adds the bookmarks the routines write into the template of key.
  std::string problemOf(const std::string& key, const fs::path& templateFile, bool withBookmarks) {
    std::lock_guard lock(mutex_);
    const Identity id = identity(templateFile);
    Entry& e = entries_[templateFile.string() + (withBookmarks ? "\n+" : "\n")];
    if (!id.known || !e.checked || !(e.id == id))
      e = {true, id,
           templateProblem(templateFile,
                           withBookmarks ? bookmarksOfTemplate(key) : std::vector<std::string>{})};
    return e.problem;
  }

 private:
  struct Identity {
    bool known = false;  // the file could be looked at
    bool regular = false;
    std::int64_t seconds = 0, nanoseconds = 0;
    std::uint64_t size = 0;
    bool operator==(const Identity&) const = default;
  };
  struct Entry {
    bool checked = false;
    Identity id;
    std::string problem;
  };
  // One look at the file per use; one per run while a run keeps the files it has seen.
  Identity identity(const fs::path& file) {
    Seen& seen = identities_[file.string()];
    if (seen.id.known && base::keptSince(seen.run)) return seen.id;
    struct stat st {};
    seen.id = ::stat(file.c_str(), &st) != 0
                  ? Identity{}
                  : Identity{true, S_ISREG(st.st_mode), st.st_mtim.tv_sec, st.st_mtim.tv_nsec,
                             static_cast<std::uint64_t>(st.st_size)};
    seen.run = base::keptRun();
    return seen.id;
  }
  struct Seen {
    Identity id;
    std::uint64_t run = 0;  // base::keptRun() when it was taken
  };

  std::mutex mutex_;  // the workers of a run share the checks
  std::map<std::string, Entry> entries_;
  std::map<std::string, Seen> identities_;
};

TemplateChecks& templateChecks() {
  static TemplateChecks checks;
  return checks;
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
  const std::string problem = templateChecks().problemOf(key, file, true);
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
  if (!templateChecks().isFile(templateFile)) {
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
  if (const std::string problem = templateChecks().problemOf(key, templateFile, false);
      !problem.empty()) {
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

int16_t clsWordDoc::SetTextMarke(const std::string& name, const std::string& text,
                                 const std::string& size, bool bold) {
  try {
    if (!locate("SetTextMarke", name)) return 101;
    document_->bookmarks().replace(name, text, textFormat(size, bold),
                                   docx::BookmarkScope::kMainText);
    return 100;
  } catch (const std::exception& e) {
    logUncaught("SetTextMarke", e);
    return 101;
  }
}

int16_t clsWordDoc::SetReportTextMarke(const std::string& name, const std::string& text,
                                       const std::string& size, bool bold) {
  try {
    if (!locate("SetReportTextMarke", name)) return 101;
    auto& marks = document_->bookmarks();
    // The bookmark holds the value alone (its unit stands outside it), so that an empty value
    // leaves an empty cell for TableCleanUp.
    marks.replace(name, text, textFormat(size, bold), docx::BookmarkScope::kMainText);
    return 100;
  } catch (const std::exception& e) {
    logUncaught("SetReportTextMarke", e);
    return 101;
  }
}

int16_t clsWordDoc::SetImageMarke(const std::string& name, const std::string& size, bool bold) {
  try {
    if (!locate("SetImageMarke", name)) return 101;
    document_->bookmarks().replace(name, "X", textFormat(size, bold),
                                   docx::BookmarkScope::kMainText);
    return 100;
  } catch (const std::exception& e) {
    logUncaught("SetImageMarke", e);
    return 101;
  }
}

int16_t clsWordDoc::SetTextMarke_HeadersFooters(const std::string& name, const std::string& text,
                                                const std::string& /*size*/, bool /*bold*/) {
  try {
    if (!guard("SetTextMarke")) return 101;
    auto& marks = document_->bookmarks();
    if (!marks.exists(name, docx::BookmarkScope::kAllStories)) {
      missingBookmark("SetTextMarke", name);
      return 101;
    }
    marks.replace(name, text, docx::RunFormat{}, docx::BookmarkScope::kAllStories);
    return 100;
  } catch (const std::exception& e) {
    logUncaught("SetTextMarke", e);
    return 101;
  }
}

bool clsWordDoc::writeMark(const std::string& routine, const std::string& name,
                           const std::string& text, const std::string& size, bool bold,
                           const std::string& shown, TextMarkWriter writer) {
  if ((this->*writer)(name, text, size, bold) == 100) return true;
  logUnsetMark(routine, "Textmarke", shown.empty() ? name : shown);
  return false;
}

bool clsWordDoc::writeImageMark(const std::string& routine, const std::string& name,
                                const std::string& size, bool bold, const char* noun) {
  if (SetImageMarke(name, size, bold) == 100) return true;
  logUnsetMark(routine, noun, name);
  return false;
}

void clsWordDoc::logUnsetMark(const std::string& routine, const char* noun,
                              const std::string& shown) {
  log().Ausgabe(3,
                routine + ": Fehler! Die " + noun + " " + shown + " konnte nicht gesetzt werden.");
}

int16_t clsWordDoc::InsertAfter(const std::string& name, int16_t size, const std::string& text,
                                bool bold) {
  try {
    if (!locate("InsertAfter", name)) return 101;
    docx::RunFormat format;
    format.bold = bold;
    format.fontName = kTimesNewRoman;
    format.sizePt = size;
    document_->bookmarks().insert(name, text, format, docx::BookmarkScope::kMainText, true);
    return 100;
  } catch (const std::exception& e) {
    logUncaught("InsertAfter", e);
    return 101;
  }
}

int16_t clsWordDoc::GetTextMarkeLength(const std::string& name) {
  try {
    if (!document_)
      throw docx::DocxError(docx::ErrorCode::kInvalidArgument, "Es ist kein Dokument geöffnet.");
    const std::string text = document_->bookmarks().text(name, docx::BookmarkScope::kMainText);
    return static_cast<int16_t>(std::min<std::size_t>(characterCount(text), INT16_MAX));
  } catch (const std::exception& e) {
    log().Ausgabe(2, "GetTextMarkeLength: Fehler! Nicht abgefangener Fehler." + errorText(e));
    return 0;
  }
}

int16_t clsWordDoc::replaceIn(const std::string& routine, const std::string& name,
                              const std::string& search, const std::string& replacement,
                              const std::string& fontName, const std::string& fontSize, bool bold) {
  try {
    if (!locate(routine, name)) return 101;
    docx::RunFormat format;
    format.fontName = fontName.empty() ? "Arial" : fontName;
    format.bold = bold;
    if (!fontSize.empty()) format.sizePt = textFormat(fontSize, bold).sizePt;
    auto& marks = document_->bookmarks();
    marks.setFont(name, format, docx::BookmarkScope::kMainText);
    if (!marks.replaceFirst(name, search, replacement, docx::BookmarkScope::kMainText))
      log().Ausgabe(2, routine + ": Warnung! Artname '" + search + "' nicht gefunden.");
    return 100;
  } catch (const std::exception& e) {
    logUncaught(routine, e);
    return 101;
  }
}

int16_t clsWordDoc::ReplaceTextInTextMarke(const std::string& name, const std::string& search,
                                           const std::string& replacement,
                                           const std::string& fontName, const std::string& fontSize,
                                           bool bold) {
  return replaceIn("ReplaceTextInTextMarke", name, search, replacement, fontName, fontSize, bold);
}

int16_t clsWordDoc::ReplaceCheckboxInTextMarke(const std::string& name, const std::string& search,
                                               const std::string& replacement,
                                               const std::string& fontName,
                                               const std::string& fontSize, bool bold) {
  return replaceIn("ReplaceCheckboxInTextMarke", name, search, replacement, fontName, fontSize,
                   bold);
}

int16_t clsWordDoc::TableCleanUp() {
  if (!guard("TableCleanUp")) return 101;
  auto& tables = document_->tables();
  if (tables.count() == 0) {
    log().Ausgabe(2, "Fehler! Die Tabellen für die Strukturdaten sind nicht vorhanden.");
    return 101;
  }
  docx::RunFormat format;
  format.fontName = kTimesNewRoman;
  format.bold = true;
  for (int t = 3; t <= tables.count();) {
    for (int r = 2; r <= tables.rowCount(t);) {
      if (tables.cellCount(t, r) < 2) {
        ++r;
        continue;
      }
      // The value cell holds the bookmark alone; units and fixed words stand in the next cell.
      // An empty value (or a lone placeholder such as "-") leaves nothing worth a row.
      const std::string value = trim(tables.cellText(t, r, 2));
      if (isEmptyValue(value)) {
        tables.deleteRow(t, r);
        if (t > tables.count()) break;  // deleting the only row took the table with it
        continue;
      }
      // A ticked cross column reads "X"; the fixed word beside it says what it means. Only a
      // cross standing alone is removed: "XL-Hecke" or "18,5" stay exactly as stored.
      if (value == "X") tables.setCellText(t, r, 2, "", format);
      ++r;
    }
    if (t <= tables.count() && tables.rowCount(t) == 1) {
      tables.deleteTable(t);
      continue;
    }
    ++t;
  }
  return 100;
}

int16_t clsWordDoc::CorrectUmlaute(const data::UmlautDict* dictionary, std::string& text) {
  if (!dictionary) return 101;
  for (const char* letter : data::kUmlautLetters) {
    const std::string* stored = dictionary->find(letter);
    if (!stored || stored->empty()) continue;
    const std::string replacement = letter;
    for (std::size_t pos = 0; (pos = text.find(*stored, pos)) != std::string::npos;) {
      text.replace(pos, stored->size(), replacement);
      pos += replacement.size();
    }
  }
  return 100;
}

int16_t clsWordDoc::AddPolyline(int16_t /*position*/, const PointList& points) {
  if (!guard("AddPolyline")) return 101;
  std::vector<docx::Point> path;
  path.reserve(points.size());
  for (const auto& p : points) path.push_back({p[0], p[1]});
  document_->drawing().addPolyline(path);
  return 100;
}

int16_t clsWordDoc::AddOutlines(int16_t /*position*/, const std::vector<PointList>& rings,
                                float resolution) {
  if (!guard("AddOutlines")) return 101;
  std::vector<std::vector<docx::Point>> paths;
  paths.reserve(rings.size());
  for (const auto& ring : rings) {
    auto& path = paths.emplace_back();
    path.reserve(ring.size());
    for (const auto& p : ring) path.push_back({p[0], p[1]});
  }
  document_->drawing().addPolylines(paths, resolution);
  return 100;
}

int16_t clsWordDoc::SetLineWeight(int16_t position, float points) {
  if (!guard("SetLineWeight")) return 101;
  document_->drawing().setLineWidth(position, points);
  return 100;
}

int16_t clsWordDoc::MarkPolygon(int16_t position) {
  if (!guard("MarkPolygon")) return 101;
  auto& drawing = document_->drawing();
  drawing.setFillColor(position, {192, 192, 192});
  drawing.setFillPattern(position, 7);
  // Between the dots the tone the 50 % pattern gives: renderers that draw the pattern as a
  // coarse hatch would otherwise leave a small marked part white.
  drawing.setFillBackColor(position, {224, 224, 224});
  return 100;
}

namespace {

// The scale label: its top lies this far below the map frame (drawing units), and it keeps
// this height in points whatever the map's scale, so that its 8-pt text stays readable.
constexpr float kLabelGap = 12;
constexpr float kLabelHeight = 20;

}  // namespace

float clsWordDoc::mapScale(float width, float height, float size) {
  const float byWidth = width > 0 ? size / width : std::numeric_limits<float>::max();
  const float byHeight = (size - kLabelHeight) / (height + kLabelGap);
  return std::min(byWidth, byHeight);
}

int16_t clsWordDoc::SetScaleBar(float width, float height, float /*unused1*/, float /*unused2*/,
                                int16_t& counter) {
  if (!guard("SetScaleBar")) return 101;
  const char* label = "1 km";
  float half = 500;
  if (width < 10)
    label = "1 m", half = 0.5f;
  else if (width < 50)
    label = "10 m", half = 5;
  else if (width < 100)
    label = "50 m", half = 25;
  else if (width < 1000)
    label = "100 m", half = 50;
  else if (width < 5000)
    label = "500 m", half = 250;
  auto& drawing = document_->drawing();
  drawing.addLabel(0, height + kLabelGap, width, kLabelHeight);
  drawing.setLabelText(counter, label);
  drawing.setLineVisible(counter, false);
  drawing.setLabelCentered(counter, true);
  drawing.setLabelFont(counter, 8, true);
  ++counter;
  const float mid = width / 2;
  PointList bar = {{mid - half, height + 9},
                   {mid - half, height + 11},
                   {mid + half, height + 11},
                   {mid + half, height + 9},
                   {mid - half, height + 9}};
  AddPolyline(counter, bar);
  drawing.setFillTransparency(counter, 0);
  drawing.setFillColor(counter, {0, 0, 0});
  drawing.setFillSolid(counter);
  ++counter;
  return 100;
}

int16_t clsWordDoc::MovePolygon(int16_t counter, float size) {
  if (!guard("MovePolygon")) return 101;
  try {
    auto& drawing = document_->drawing();
    // Shape counter - 2 is the scale label below the map. Everything else scales with the
    // group; the label keeps its height in points, so the scale is chosen such that the map
    // with the label below it is `size` points on its longer side.
    const int label = counter - 2;
    const docx::Frame text = drawing.shapeFrame(label);
    double left = text.left, right = text.left + text.width, top = 0, bottom = 0;
    bool first = true;
    for (int i = 1; i < counter; ++i) {
      if (i == label) continue;
      const docx::Frame f = drawing.shapeFrame(i);
      if (first) top = f.top, bottom = f.top + f.height, first = false;
      left = std::min(left, f.left);
      right = std::max(right, f.left + f.width);
      top = std::min(top, f.top);
      bottom = std::max(bottom, f.top + f.height);
    }
    const double width = right - left;
    const double above = text.top - top;  // from the top of the map to the label
    double factor = 0;
    if (!first && above > 0 && above >= bottom - top)
      factor = std::min(width > 0 ? size / width : 1e30, (size - text.height) / above);
    else
      factor = size / std::max({width, bottom - top, 1e-9});
    if (!(factor > 0))
      throw docx::DocxError(docx::ErrorCode::kInvalidArgument, "die Karte ist zu klein");
    drawing.setShapeSize(label, text.width, text.height / factor);
    std::vector<int> shapes;
    for (int i = 1; i < counter; ++i) shapes.push_back(i);
    const int group = drawing.group(shapes);
    const docx::Frame frame = drawing.groupFrame(group);
    drawing.setGroupSize(group, frame.width * factor, frame.height * factor);
    drawing.centerGroupHorizontally(group);
    drawing.setGroupTop(group, 100);
    return 100;
  } catch (const std::exception& e) {
    log().Ausgabe(2, "MovePolygon: Nicht abgefangener Fehler. " + errorText(e) + ".");
    return 101;
  }
}

float clsWordDoc::GetScalefaktor(int16_t size, float width, float height, int16_t counter) {
  if (!guard("GetScalefaktor")) return 101;
  const docx::Frame frame = document_->drawing().shapeFrame(counter - 1);
  return static_cast<float>(width <= height ? size / frame.height : size / frame.width);
}

int16_t clsWordDoc::InsertErfassungseinheit(const std::string& title, const std::string& left,
                                            const std::string& middle, const std::string& right) {
  if (!guard("InsertErfassungseinheit")) return 101;
  std::string line1, line2;
  if (middle.find(':') != std::string::npos) {
    const auto pieces = split(middle, ':');
    line1 = pieces[0];
    if (pieces.size() == 2) line2 = pieces[1];
  }
  auto& tables = document_->tables();
  constexpr int kTable = 2;
  tables.appendRow(kTable);
  int row = tables.rowCount(kTable);
  tables.mergeRow(kTable, row);
  tables.setCellText(kTable, row, 1, title + "\r");
  tables.appendRow(kTable);
  row = tables.rowCount(kTable);
  tables.splitRow(kTable, row, 3);
  tables.setCellText(kTable, row, 1, left);
  tables.setCellText(kTable, row, 2, line1 + "\r" + line2);
  tables.setCellText(kTable, row, 3, right);
  tables.appendRow(kTable);
  tables.mergeRow(kTable, tables.rowCount(kTable));
  return 100;
}

}  // namespace word
