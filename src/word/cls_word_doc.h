#pragma once
// The gateway to the document engine for the generation routines: the template table, one
// document at a time made from a template, its bookmarks, tables and the cover-sheet map, and
// finishing it (protection, saving, printing). Operations answer 100 or 101 and log; the
// drawing operations that the callers guard themselves let engine errors (docx::DocxError)
// through, as does TableCleanUp.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "data/cls_dbf_data.h"
#include "data/ordered_dict.h"
#include "word/document_outcome.h"

namespace docx {
class Document;
}

namespace app {
struct RunServices;
class clsDebug;
class Settings;
class UserInterface;
}  // namespace app

namespace word {

// A drawing point in map units; x to the right, y downwards.
using PointList = std::vector<std::array<float, 2>>;

// Prints a finished document; answers false with a reason when it could not. Installed by the
// front end when printing is available.
using DocumentPrinter =
    std::function<bool(const std::filesystem::path& document, std::string& reason)>;

class clsWordDoc {
 public:
  // Works through the program-wide settings, log and user interface.
  clsWordDoc();
  // Works through services (which must outlive the engine). servesEvents: the slow steps of
  // finishing a document let the user interface's events run meanwhile; a worker of a run
  // that is not the window's thread says false.
  explicit clsWordDoc(const app::RunServices& services, bool servesEvents = true);
  ~clsWordDoc();
  clsWordDoc(const clsWordDoc&) = delete;
  clsWordDoc& operator=(const clsWordDoc&) = delete;

  // Template key ("GN", "GN-Report", "Deckblatt") → path below the program folder.
  const data::OrderedDict<std::string>& templates() const { return templates_; }

  // Checks the template of key ("GN", "GN-Report", "Deckblatt") with the bookmarks the routines
  // write (once per template file as it stands); "Die Vorlage ... ist unbrauchbar: ..." or "".
  // OpenWordDokument itself refuses a template that is no sound package, but not one that
  // lacks bookmarks: a run checks that before its first document of the template.
  std::string TemplateProblem(const std::string& key, const std::string& programFolder);

  // Where OpenWordDokument stores the document name (its parameters as there) below the output
  // folder out: in the sub-folder of its template key, "Report" for reports and cover sheets,
  // ownFolder when useOwnFolder.
  static std::filesystem::path documentFile(const std::string& out, const std::string& name,
                                            int16_t keyOffset, bool useOwnFolder,
                                            const std::string& ownFolder);

  int16_t CreateWordApplication();
  int16_t OpenWordDokument(const std::string& name, const std::string& programFolder,
                           std::vector<std::string>& messages, int16_t keyOffset, bool useOwnFolder,
                           const std::string& ownFolder);
  void CloseWordDokument();
  void DeleteWordApplication();

  int16_t SetTextMarke(const std::string& name, const std::string& text, const std::string& size,
                       bool bold);
  int16_t SetReportTextMarke(const std::string& name, const std::string& text,
                             const std::string& size, bool bold);
  int16_t SetImageMarke(const std::string& name, const std::string& size, bool bold);
  int16_t SetTextMarke_HeadersFooters(const std::string& name, const std::string& text,
                                      const std::string& size, bool bold);
  // The bookmark writes of the generation routines: name filled by writer (one of the three
  // above); when that fails, "<routine>: Fehler! Die Textmarke <shown> konnte nicht gesetzt
  // werden." is logged at level 3, shown being the name unless the routine calls it otherwise.
  // False when it failed.
  using TextMarkWriter = int16_t (clsWordDoc::*)(const std::string&, const std::string&,
                                                 const std::string&, bool);
  bool writeMark(const std::string& routine, const std::string& name, const std::string& text,
                 const std::string& size, bool bold, const std::string& shown = "",
                 TextMarkWriter writer = &clsWordDoc::SetTextMarke);
  // The same for a cross written by SetImageMarke; noun "Imagemarke" where a routine says so.
  bool writeImageMark(const std::string& routine, const std::string& name, const std::string& size,
                      bool bold, const char* noun = "Textmarke");
  int16_t InsertAfter(const std::string& name, int16_t size, const std::string& text, bool bold);
  int16_t GetTextMarkeLength(const std::string& name);
  int16_t ReplaceTextInTextMarke(const std::string& name, const std::string& search,
                                 const std::string& replacement, const std::string& fontName,
                                 const std::string& fontSize, bool bold);
  int16_t ReplaceCheckboxInTextMarke(const std::string& name, const std::string& search,
                                     const std::string& replacement, const std::string& fontName,
                                     const std::string& fontSize, bool bold);
  // Throws docx::DocxError on an engine failure.
  int16_t TableCleanUp();
  // Replaces the stored forms of the seven German letters in text; 101 without a dictionary.
  // Meant for texts of a table known to be mis-decoded (clsDBFData::umlautRepairFor), whose
  // forms can only be letters.
  static int16_t CorrectUmlaute(const data::UmlautDict* dictionary, std::string& text);

  // Cover-sheet drawing. AddPolyline, AddOutlines, SetLineWeight, MarkPolygon, SetScaleBar,
  // GetScalefaktor and InsertErfassungseinheit throw docx::DocxError on an engine failure;
  // MovePolygon logs it.
  int16_t AddPolyline(int16_t position, const PointList& points);
  // One shape of several closed outlines; resolution > 0: the shape's path needs no finer steps
  // than this many drawing units (what the map shows once it is scaled onto the page).
  int16_t AddOutlines(int16_t position, const std::vector<PointList>& rings, float resolution);
  // The outline of the shape at position, points wide on the page.
  int16_t SetLineWeight(int16_t position, float points);
  int16_t MarkPolygon(int16_t position);
  int16_t SetScaleBar(float width, float height, float unused1, float unused2, int16_t& counter);
  // Groups shapes 1 to counter - 1 and scales them to `size` points on the longer side, the
  // scale label (shape counter - 2, below the rest) keeping its height in points.
  int16_t MovePolygon(int16_t counter, float size);
  // The factor from drawing units to points that MovePolygon will apply to a cover map whose
  // frame is width × height units with SetScaleBar's label below it.
  static float mapScale(float width, float height, float size);
  float GetScalefaktor(int16_t size, float width, float height, int16_t counter);
  int16_t InsertErfassungseinheit(const std::string& title, const std::string& left,
                                  const std::string& middle, const std::string& right);

  // Records that a part of the current document could not be filled (it is saved all the same
  // but counts as incomplete).
  void markIncomplete(const std::string& part);
  // Records something the current document needed and did not get (cause in German, as the
  // message file shows it): a bookmark its template must carry is missing, an engine failure
  // while filling, a value the tables could not give. The routines' bookmark writes note it
  // themselves; a run marks the part in work incomplete when the count grows.
  void noteUnfilled(const std::string& cause);
  std::size_t unfilledCount() const { return outcome_.unfilled.size(); }
  // The outcome of the document last opened; kept until the next one is opened.
  const DocumentOutcome& lastOutcome() const { return outcome_; }

  bool hasApplication() const { return application_; }
  bool hasDocument() const { return document_ != nullptr; }
  // Path of the current document's file (empty without a document).
  const std::filesystem::path& documentPath() const { return documentPath_; }

  // The printer used when "DataFilesPrint" is "1"; without one, printing is logged as failed.
  static void setPrinter(DocumentPrinter printer);

 private:
  app::clsDebug& log() const;
  const app::Settings& settings() const;
  app::UserInterface& ui() const;
  template <typename Work>
  void serving(Work&& work);
  bool guard(const std::string& routine);
  bool isOwnTypeFolder(const std::filesystem::path& target, const std::filesystem::path& out);
  void refuse(const std::string& file, const std::string& cause,
              std::vector<std::string>& messages);
  void stopCapture();
  bool locate(const std::string& routine, const std::string& name);
  // Replaces the text of a bookmark of the main text; 100, or 101 after logging why not.
  int16_t replaceMainText(const std::string& routine, const std::string& name,
                          const std::string& text, const std::string& size, bool bold);
  void logUncaught(const std::string& routine, const std::exception& e);
  void missingBookmark(const std::string& routine, const std::string& name);
  // The bookmarks the routines must fill in the template of key, read once per key.
  const std::set<std::string>& requiredBookmarks(const std::string& key);
  void logUnsetMark(const std::string& routine, const char* noun, const std::string& shown);
  int16_t replaceIn(const std::string& routine, const std::string& name, const std::string& search,
                    const std::string& replacement, const std::string& fontName,
                    const std::string& fontSize, bool bold);

  data::OrderedDict<std::string> templates_;
  bool application_ = false;
  std::unique_ptr<docx::Document> document_;
  std::filesystem::path documentPath_;
  DocumentOutcome outcome_;
  std::unique_ptr<app::RunServices> services_;  // null: the program-wide objects
  bool servesEvents_ = true;
  // The message list of the run that opened the current document: a document that cannot be
  // printed is something the user must act on, and CloseWordDokument has no list of its own.
  std::vector<std::string>* runMessages_ = nullptr;
  std::map<std::string, std::set<std::string>> requiredByKey_;
  const std::set<std::string>* required_ = nullptr;  // of the current document's template
  // Type folders found to lie in the output folder, with the identity they had then.
  std::map<std::string, std::array<std::uint64_t, 4>> soundFolders_;
};

// The program-wide instance (the windows' engine); a generation window renews it with
// resetWordDoc().
clsWordDoc& g_WordDoc();
void resetWordDoc();

// The folder of the program file, where Templates/ lies.
std::string programFolder();

}  // namespace word
