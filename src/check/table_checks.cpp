// The files themselves: tables missing or unreadable, header counts, memo files and pointers,
// values that cannot be read, texts that do not decode and code pages nobody named.

#include <algorithm>

#include "check/check_run.h"

namespace check {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

bool memoType(char type) {
  return type == 'M' || type == 'G' || type == 'P' || type == 'B';
}

std::string capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

void checkBadValues(CheckRun& run, const SurveyTable& t) {
  for (const auto& bad : t.badValues) {
    const std::size_t row = bad.record - 1;
    if (t.deleted[row]) continue;
    const int column = t.column(bad.field);
    const char type = column < 0 ? 'C' : t.type(column);
    const CheckId id = type == 'D'      ? CheckId::DateInvalid
                       : memoType(type) ? CheckId::MemoPointer
                                        : CheckId::ValueUnreadable;
    std::string reason = bad.reason;
    // A memo error begins with the memo file's whole path; the table column says where.
    if (const auto colon = reason.find(": "); reason.starts_with('/') && colon != std::string::npos)
      reason = reason.substr(colon + 2);
    run.add(Severity::Fehler, id, t.fileName, bad.record, rowKey(t, row),
            "Feld " + bad.field + ": " + reason + ".");
  }
}

std::string counted(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Texts that did not decode (they hold U+FFFD), and a code page that was only guessed where the
// guess matters: for texts with letters beyond ASCII.
void checkDecoding(CheckRun& run, const SurveyTable& t) {
  std::size_t texts = 0, records = 0, first = 0;
  std::string firstField;
  bool beyondAscii = false;
  for (std::size_t r = 0; r < t.rows.size(); ++r) {
    if (t.deleted[r]) continue;
    bool hit = false;
    for (std::size_t c = 0; c < t.rows[r].size(); ++c) {
      const data::Value& v = t.rows[r][c];
      if (v.kind() != data::Value::Kind::Text) continue;
      const std::string& text = v.asText();
      beyondAscii = beyondAscii || std::any_of(text.begin(), text.end(), [](char ch) {
                      return static_cast<unsigned char>(ch) >= 0x80;
                    });
      if (text.find(kReplacement) == std::string::npos) continue;
      ++texts;
      if (!hit && records == 0) {
        first = r + 1;
        firstField = t.fields[c].name;
      }
      hit = true;
    }
    if (hit) ++records;
  }
  if (texts > 0)
    run.add(Severity::Warnung, CheckId::TextEncoding, t.fileName, static_cast<uint32_t>(first), {},
            counted(texts, "Text", "Texte") + " in " +
                counted(records, "Datensatz", "Datensätzen") + " " + (texts == 1 ? "ist" : "sind") +
                " in der Codepage " + t.codePage + " nicht lesbar (zuerst Feld " + firstField +
                "). Bitte legen Sie eine .cpg-Datei mit der richtigen Codepage neben die "
                "Tabelle.");
  if (t.codePageGuessed && beyondAscii)
    run.add(Severity::Hinweis, CheckId::CodePageUnmarked, t.fileName, 0, {},
            "Die Tabelle nennt ihre Codepage nicht (weder eine .cpg-Datei noch das "
            "Sprachtreiber-Byte); nach ihren Umlauten wurde sie als " +
                t.codePage + " gelesen. Eine .cpg-Datei neben der Tabelle macht es eindeutig.");
}

void checkFile(CheckRun& run, const SurveyTable& t) {
  if (!t.headerNote.empty()) {
    const bool lost = t.headerCount > t.rows.size();
    run.add(lost ? Severity::Fehler : Severity::Warnung, CheckId::HeaderCount, t.fileName, 0, {},
            capitalised(t.headerNote) + ".");
  }
  if (t.memoFileMissing) {
    std::string fields;
    for (const auto& f : t.fields)
      if (memoType(f.type)) fields += (fields.empty() ? "" : ", ") + f.name;
    run.add(Severity::Fehler, CheckId::MemoFileMissing, t.fileName, 0, {},
            "Die Tabelle hat Memofelder (" + fields +
                "), aber ihre Memodatei (.dbt oder .fpt) fehlt; die Memotexte sind nicht lesbar.");
  }
  checkBadValues(run, t);
  checkDecoding(run, t);
}

}  // namespace

void checkTableFiles(CheckRun& run) {
  for (const SurveyTable& t : run.tables.all()) {
    if (t.fileName.empty()) {
      run.add(Severity::Fehler, CheckId::TableMissing, t.name + ".dbf", 0, {},
              "Die Tabelle " + t.name + ".dbf fehlt im Ordner der DBF-Dateien.");
      continue;
    }
    if (!t.openError.empty()) {
      run.add(Severity::Fehler, CheckId::TableUnreadable, t.fileName, 0, {},
              "Die Tabelle kann nicht gelesen werden: " + t.openError + ".");
      continue;
    }
    checkFile(run, t);
  }
  if (run.shape.attributes.readable()) checkFile(run, run.shape.attributes);
}

}  // namespace check
