#include "shape/shape_error.h"

#include <utility>

namespace shape {

ShapeError::ShapeError(uint32_t number, std::string source, std::string description)
    : std::runtime_error(source + ": " + description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

namespace {

// The text between prefix and suffix of the description, or "" when it is not framed so.
std::string framed(const std::string& text, const std::string& prefix, const std::string& suffix) {
  if (text.size() < prefix.size() + suffix.size() || !text.starts_with(prefix) ||
      !text.ends_with(suffix))
    return "";
  return text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
}

}  // namespace

std::string ShapeError::germanDescription() const {
  // Which of the two files: the classic header texts begin "The shx file" or "The shp file".
  const std::string which = description_.starts_with("The shx") ? "shx" : "shp";
  switch (number_) {
    case kErrFileMissing: {
      const std::string file = framed(description_, "The specified file ", " does not exist.");
      return "Die Datei " + (file.empty() ? std::string() : file + " ") + "existiert nicht.";
    }
    case kErrInvalidFileCode:
      return "Die " + which + "-Datei hat in ihrem Kopf einen ungültigen Dateicode.";
    case kErrRecordMismatch:
      return "Die Satznummer in der shp-Datei passt nicht zum Eintrag der shx-Datei.";
    case kErrOffsetBeyondFile:
      return "Der Eintrag der shx-Datei zeigt hinter das Ende der shp-Datei.";
    case kErrShapeTypeMismatch:
      return "Der Formtyp eines Datensatzes passt nicht zum Formtyp der Datei.";
    case kErrInvalidShapeType:
    case kErrWrongShapeForFile:
      return "Der Formtyp passt nicht zur Datei.";
    case kErrInvalidFileSpec:
      return "Der Dateiname ist ungültig.";
    case kErrWrongObjectType:
      return "Das Objekt hat den falschen Typ.";
    case kErrNullShapeDistance:
      return "Der Abstand zu einer leeren Form ist nicht bestimmbar.";
    case kErrSubscriptOutOfRange:
      return "Der Index liegt außerhalb des gültigen Bereichs.";
    default:
      return description_;  // damage and file-system failures are worded in German already
  }
}

}  // namespace shape
