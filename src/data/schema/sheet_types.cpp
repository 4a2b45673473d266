#include "data/schema/sheet_types.h"

namespace data::schema {

const std::vector<SheetType>& sheetTypes() {
  static const std::vector<SheetType> types = {
      {"F", "bgf", "bgf2", "Fels- und Gesteinsbiotope"},
      {"GN", "bgg", "bgg2", "Grünland nasser und feuchter Standorte"},
      {"GT", "bgg", "bgg2", "Grünland trockener und magerer Standorte"},
      {"H", "bgh", "bgh2", "Hecken und Feldgehölze"},
      {"K", "bgk", "bgk2", "Komplexbogen"},
      {"M", "bgm", "bgm2", "Moore und Sümpfe"},
      {"S", "bgs", "bgs2", "Stillgewässer"},
      {"T", "bgt", "bgt2", "Quellen und Fließgewässer"},
      {"W", "bgw", "bgw2", "Wälder"},
      {"X", "bgx", "bgx2", "Sonstige Biotope"},
  };
  return types;
}

const SheetType* findSheetType(std::string_view code) {
  for (const SheetType& t : sheetTypes())
    if (t.code == code) return &t;
  return nullptr;
}

const std::vector<std::string>& sheetTypeCodes() {
  static const std::vector<std::string> codes = [] {
    std::vector<std::string> out;
    for (const SheetType& t : sheetTypes()) out.push_back(t.code);
    return out;
  }();
  return codes;
}

const std::vector<DocumentTemplate>& documentTemplates() {
  using Kind = DocumentTemplate::Kind;
  static const std::vector<DocumentTemplate> templates = [] {
    std::vector<DocumentTemplate> out;
    for (const SheetType& t : sheetTypes())
      out.push_back({Kind::kSheet, t.code, "TemplateBogenV2" + t.code + ".dotx", t.code});
    for (const SheetType& t : sheetTypes())
      out.push_back({Kind::kReport, t.code + std::string(kReportKeySuffix),
                     "TemplateDatenreportV2" + t.code + ".dotx", t.code});
    out.push_back({Kind::kCoverSheet, std::string(kCoverSheetKey),
                   "TemplateDatenreportV2Deckblatt.dotx", ""});
    return out;
  }();
  return templates;
}

const DocumentTemplate* findDocumentTemplate(std::string_view key) {
  for (const DocumentTemplate& t : documentTemplates())
    if (t.key == key) return &t;
  return nullptr;
}

}  // namespace data::schema
