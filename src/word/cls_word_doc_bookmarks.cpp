// The bookmark operations of the document engine: filling, reading and replacing the text of
// bookmarks, and tidying the tables of a filled document.
#include <charconv>
#include <string>
#include <vector>

#include "app/cls_debug.h"
#include "word/cls_word_doc.h"
#include "word/docx/document.h"
#include "word/error_text.h"

namespace word {
namespace {

constexpr const char* kTimesNewRoman = "Times New Roman";

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
}  // namespace

int16_t clsWordDoc::replaceMainText(const std::string& routine, const std::string& name,
                                    const std::string& text, const std::string& size, bool bold) {
  try {
    if (!locate(routine, name)) return 101;
    document_->bookmarks().replace(name, text, textFormat(size, bold),
                                   docx::BookmarkScope::kMainText);
    return 100;
  } catch (const std::exception& e) {
    logUncaught(routine, e);
    return 101;
  }
}

int16_t clsWordDoc::SetTextMarke(const std::string& name, const std::string& text,
                                 const std::string& size, bool bold) {
  return replaceMainText("SetTextMarke", name, text, size, bold);
}

// The bookmark holds the value alone (its unit stands outside it), so that an empty value leaves
// an empty cell for TableCleanUp.
int16_t clsWordDoc::SetReportTextMarke(const std::string& name, const std::string& text,
                                       const std::string& size, bool bold) {
  return replaceMainText("SetReportTextMarke", name, text, size, bold);
}

int16_t clsWordDoc::SetImageMarke(const std::string& name, const std::string& size, bool bold) {
  return replaceMainText("SetImageMarke", name, "X", size, bold);
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

}  // namespace word
