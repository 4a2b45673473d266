#include "data/cls_dbf_data.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "app/program_objects.h"
#include "app/resource_folder.h"
#include "app/run_services.h"
#include "base/file_lookup.h"
#include "base/run_files.h"
#include "data/provider_error.h"
#include "data/schema/sheet_types.h"
#include "data/schema/survey_tables.h"
#include "data/shape_attributes.h"
#include "data/sheet_code_rule.h"

namespace fs = std::filesystem;

namespace data {
namespace {

bool fileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool folderExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

std::string sheetTypeOf(const std::string& key) {
  if (key.size() < 12) throw std::invalid_argument("Ungültiger Geländebogen-Schlüssel: " + key);
  return key.substr(12);
}

void showLockedTable(const ProviderError& e, app::UserInterface& ui) {
  if (e.number() == kErrTableLocked) ui.message(app::MessageIcon::Warning, e.description());
}

}  // namespace

clsDBFData::clsDBFData() {
  for (int i = 1; i <= kTableCount; ++i)
    catalogue_[static_cast<std::size_t>(i)] = schema::catalogueName(i);
  for (const schema::SheetType& t : schema::sheetTypes())
    typeMap_.emplace_back(t.code, static_cast<int16_t>(schema::catalogueIndex(t.table1)));
}

clsDBFData::clsDBFData(const app::RunServices& services) : clsDBFData() {
  services_ = std::make_unique<app::RunServices>(services);
}

clsDBFData::~clsDBFData() = default;
clsDBFData::clsDBFData(clsDBFData&&) noexcept = default;
clsDBFData& clsDBFData::operator=(clsDBFData&&) noexcept = default;

app::RunServices clsDBFData::services() const {
  return services_ ? *services_ : app::RunServices::program();
}

app::clsDebug& clsDBFData::log() const {
  return services().log;
}

clsDBFData clsDBFData::forWorker(const app::RunServices& services) const {
  clsDBFData copy(services);
  copy.umlautCache_ = umlautCache_;
  copy.repairCache_ = repairCache_;
  copy.shapeCache_ = shapeCache_;
  copy.surveyFolder_ = surveyFolder_;
  if (survey_.isOpen())
    copy.survey_ = survey_.share();
  else
    copy.ConnectDBDaten();
  copy.checkedShape_ = checkedShape_;
  return copy;
}

const std::string& clsDBFData::tableName(int index) const {
  if (index < 1 || index > kTableCount)
    throw std::out_of_range("Tabellenindex außerhalb des Katalogs: " + std::to_string(index));
  return catalogue_[static_cast<std::size_t>(index)];
}

bool clsDBFData::ValidFilePaths() {
  app::clsDebug& log = this->log();
  const app::Settings& settings = services().settings;
  const std::string shape = settings.get(app::kShapeFilesPfad);
  if (shape.empty()) {
    log.Ausgabe(2, "Fehler! Der Pfad für die Shapefiles ist nicht gesetzt.");
    return false;
  }
  const std::string folder = settings.get(app::kDbfFilesPfad);
  // Asked once per document: after a full check of these paths only the folder is looked for
  // until the connection is opened again; a table lost meanwhile fails its query, by name.
  if (!checkedShape_.empty() && shape == checkedShape_ && folder == surveyFolder_ &&
      folderExists(folder))
    return true;
  checkedShape_.clear();
  if (base::hasExtensionNoCase(shape, ".shp")) {
    if (!fileExists(shape)) {
      log.Ausgabe(2, "Fehler! Die Ausgewählte Datei des Shapefilepfades exisitiert nicht.");
      return false;
    }
    if (base::findSiblingNoCase(shape, ".dbf").empty()) {
      log.Ausgabe(2, "Fehler! Die DBF-Datei des Shapefilepfades exisitiert nicht.");
      return false;
    }
  }
  surveyFolder_ = folder;
  // A missing folder would only fail later, when the connection opens, as an unexpected error;
  // refuse it here so the user is told the data are wrong.
  if (!folderExists(surveyFolder_)) {
    log.Ausgabe(2, "Fehler! Der Ordner der DBF-Dateien " + surveyFolder_ + " existiert nicht.");
    return false;
  }
  for (int i = 1; i <= kTableCount; ++i) {
    if (base::findFileNoCase(surveyFolder_, tableName(i) + ".dbf").empty()) {
      log.Ausgabe(2, "Fehler! Die DBF-Datei " + tableName(i) + " ist nicht vorhanden.");
      return false;
    }
  }
  checkedShape_ = shape;
  return true;
}

void clsDBFData::ConnectDBDaten() {
  checkedShape_.clear();
  Connection connection;
  connection.open(surveyFolder_);
  survey_ = std::move(connection);
}

int16_t clsDBFData::CheckUmlauteTab() {
  UmlautDict dictionary;
  return GetUmlauteDic(dictionary);
}

bool clsDBFData::GetDBNumber(const std::string& key, int16_t& index) const {
  index = -1;
  const std::string type = sheetTypeOf(key);
  for (const auto& [t, n] : typeMap_) {
    if (t == type) {
      index = n;
      return true;
    }
  }
  return false;
}

bool clsDBFData::GetTableName(const std::string& key, int16_t which, std::string& name) const {
  name.clear();
  int16_t index = -1;
  if (!GetDBNumber(key, index)) return false;
  name = tableName(which == 1 ? index : index + 1);
  return true;
}

std::shared_ptr<const TableDigest> clsDBFData::tableDigest(const std::string& table) {
  try {
    return survey_.tableDigest(table);
  } catch (const ProviderError&) {
    return nullptr;
  }
}

bool clsDBFData::GetRecordset(int16_t /*tableIndex*/, const std::string& query,
                              Recordset& recordset, const std::vector<Value>& params) {
  try {
    recordset = survey_.execute(query + ";", params);
    return true;
  } catch (const ProviderError& e) {
    showLockedTable(e, services().ui);
    lastError_ = e.description();
    // The provider's text says what is wrong with which file; the callers only log the query.
    if (e.number() != kErrTableLocked) log().Ausgabe(2, "GetRecordset: Fehler! " + e.description());
    return false;
  }
}

bool clsDBFData::GetRecordset(const std::string& routine, int16_t tableIndex,
                              const std::string& query, Recordset& recordset,
                              const std::vector<Value>& params, const FailedQueryWording& wording) {
  if (GetRecordset(tableIndex, query, recordset, params)) return true;
  log().Ausgabe(2, failedQueryLine(routine, shownQuery(query, params), tableIndex, wording));
  return false;
}

bool clsDBFData::GetShapeRecordset(const std::string& polygonNumber, Recordset& recordset) {
  app::clsDebug& log = this->log();
  recordset = Recordset();
  const std::string shape = services().settings.get(app::kShapeFilesPfad);
  if (shape.empty()) {
    log.Ausgabe(2, "GetShapeRecordset: Fehler! Der Pfad für die Shapefiles ist nicht gesetzt.");
    return false;
  }
  // The table beside the shapefile: same base name, extension ".dbf" in any letter case.
  fs::path table = base::findSiblingNoCase(shape, ".dbf");
  if (table.empty()) table = base::siblingPath(shape, ".dbf");
  if (!fileExists(table.string())) {
    log.Ausgabe(2, "GetShapeRecordset: Fehler! Die Datei " + table.string() + " existiert nicht.");
    return false;
  }
  // Read where it lies, once while the file stays as it is; nothing is copied or written, so a
  // read-only or shared folder serves as well and no two users disturb each other.
  std::error_code statError;
  const auto mtime = fs::last_write_time(table, statError);
  const auto size = statError ? 0 : fs::file_size(table, statError);
  if (statError || !shapeCache_.attributes || shapeCache_.file != table ||
      shapeCache_.mtime != mtime || shapeCache_.size != size) {
    try {
      shapeCache_ = {table, mtime, size,
                     std::make_shared<const ShapeAttributes>(ShapeAttributes::read(table))};
    } catch (const std::exception& e) {
      throw FatalError("Programm wird beendet!\n\nGrund: Unbekanntes DBF-Shapefile-Format!\n" +
                       std::string(e.what()));
    }
  }
  std::vector<std::vector<Value>> rows;
  if (const ShapeAttributes::Row* row = shapeCache_.attributes->find(polygonNumber))
    rows.push_back(
        {Value::text(polygonKey(polygonNumber)), row->area, Value::integer(row->record)});
  recordset = Recordset({"POLYGONNR", "AREA", "SATZNR"}, std::move(rows));
  return true;
}

bool clsDBFData::shapeTableHasArea() const {
  return shapeCache_.attributes && shapeCache_.attributes->hasArea();
}

Recordset clsDBFData::readUmlautTable() {
  // Every head and footer asks for the dictionary; read the table again only when it changed.
  // The file read last time is looked at first, so that the folder need not be searched.
  const fs::path folder = app::resourceFolder() / "data";
  std::error_code ec1, ec2;
  if (!umlautCache_.file.empty() && umlautCache_.file.parent_path() == folder &&
      (base::keptSince(umlautCache_.seenInRun) ||
       (fs::last_write_time(umlautCache_.file, ec1) == umlautCache_.mtime && !ec1 &&
        fs::file_size(umlautCache_.file, ec2) == umlautCache_.size && !ec2))) {
    umlautCache_.seenInRun = base::keptRun();
    Recordset rows = umlautCache_.rows;
    rows.MoveFirst();
    return rows;
  }
  const fs::path file = base::findFileNoCase(folder, "umlaute2.dbf");
  const auto mtime = file.empty() ? fs::file_time_type() : fs::last_write_time(file, ec1);
  const auto size = file.empty() ? 0 : fs::file_size(file, ec2);
  Connection connection;
  connection.open(folder);
  Recordset rows = connection.execute("SELECT UMLAUT FROM umlaute2;");
  if (!file.empty() && !ec1 && !ec2)
    umlautCache_ = {file, mtime, size, rows, base::keptRun()};
  else
    umlautCache_ = {};
  return rows;
}

int16_t clsDBFData::GetUmlauteDic(UmlautDict& dictionary) {
  int16_t status = 101;
  try {
    Recordset rows = readUmlautTable();
    if (rows.RecordCount() != std::size(kUmlautLetters)) {
      log().Ausgabe(2, "Fehler! Die Umlaute-Tabelle ist nicht korrekt.");
      return 101;
    }
    std::vector<Value> values;
    for (rows.MoveFirst(); !rows.isEOF(); rows.MoveNext()) values.push_back(rows.value(0));
    dictionary = umlautDictionary(values);
    status = 100;
  } catch (const ProviderError& e) {
    showLockedTable(e, services().ui);
    // Without this line a missing or damaged umlaut table would go unnoticed.
    if (e.number() != kErrTableLocked)
      log().Ausgabe(2, "GetUmlauteDic: Fehler! " + e.description());
  }
  return status;
}

std::shared_ptr<const UmlautDict> clsDBFData::umlautRepairFor(const std::string& table) {
  std::optional<std::string> codePage;
  try {
    if (survey_.isOpen()) codePage = survey_.misDecodedCodePage(table);
  } catch (const ProviderError&) {
    // The query that read the text failed the same way and said so.
  }
  if (!codePage) return nullptr;

  const fs::path folder = app::resourceFolder() / "data";
  // A run that has found the table takes it as it was for its whole length.
  if (!(base::keptSince(repairCache_.seenInRun) && !repairCache_.file.empty() &&
        repairCache_.file.parent_path() == folder)) {
    const fs::path file = base::findFileNoCase(folder, "umlaute2.dbf");
    std::error_code ec1, ec2;
    const auto mtime = file.empty() ? fs::file_time_type() : fs::last_write_time(file, ec1);
    const auto size = file.empty() || ec1 ? 0 : fs::file_size(file, ec2);
    if (file != repairCache_.file || mtime != repairCache_.mtime || size != repairCache_.size ||
        ec1 || ec2)
      repairCache_ = {file, mtime, size, {}};
    repairCache_.seenInRun = base::keptRun();
  }
  const fs::path& file = repairCache_.file;
  if (const auto known = repairCache_.byCodePage.find(*codePage);
      known != repairCache_.byCodePage.end())
    return known->second;

  std::shared_ptr<const UmlautDict> repair;
  if (file.empty()) {
    log().Ausgabe(2, "GetUmlauteDic: Fehler! Die Tabelle 'umlaute2' wurde im Ordner '" +
                         folder.string() + "' nicht gefunden.");
  } else {
    try {
      const std::vector<Value> rows = readUmlautColumn(file, *codePage);
      if (rows.size() != std::size(kUmlautLetters))
        log().Ausgabe(2, "Fehler! Die Umlaute-Tabelle ist nicht korrekt.");
      else
        repair = std::make_shared<const UmlautDict>(repairableForms(umlautDictionary(rows)));
    } catch (const std::exception& e) {
      log().Ausgabe(2, "GetUmlauteDic: Fehler! " + std::string(e.what()));
    }
  }
  repairCache_.byCodePage.emplace(*codePage, repair);
  return repair;
}

int16_t clsDBFData::GetBogenNumbers(const std::vector<std::string>& sheetTypes, TextSet& sheets,
                                    AreaRoots& roots) {
  return collectBogenNumbers("clsDBFData.GetBogenNumbers", true, sheetTypes, sheets, roots);
}

int16_t clsDBFData::GetReportBogenNumbers(const std::vector<std::string>& sheetTypes,
                                          TextSet& sheets, AreaRoots& roots) {
  return collectBogenNumbers("clsDBFData.GetReportBogenNumbers", false, sheetTypes, sheets, roots);
}

int16_t clsDBFData::collectBogenNumbers(const std::string& routine, bool byKey,
                                        const std::vector<std::string>& sheetTypes, TextSet& sheets,
                                        AreaRoots& roots) {
  app::clsDebug& log = this->log();
  sheets.clear();
  roots.clear();
  if (sheetTypes.empty()) {
    log.Ausgabe(2, routine + ": Kein Geländebogen ausgewählt.");
    return 101;
  }
  std::string query =
      "SELECT DISTINCT GBCODE, GBBOGEN FROM " + tableName(schema::table::kGBogen) + " WHERE ";
  std::vector<Value> params;
  for (std::size_t i = 0; i < sheetTypes.size(); ++i) {
    query += i ? " OR GBBOGEN=?" : "GBBOGEN=?";
    params.push_back(Value::text(sheetTypes[i]));
  }
  Recordset rows;
  if (!GetRecordset(schema::table::kGBogen, query, rows, params)) {
    log.Ausgabe(2, "Fehler! Konnte die Geländebögennummer nicht aus gbogen auslesen.");
    return 101;
  }
  // The lists show values in order, whatever order the table was stored in.
  std::vector<std::pair<std::string, std::string>> found;
  for (; !rows.isEOF(); rows.MoveNext()) {
    const Value& codeValue = rows.value(0);
    if (codeValue.isNull() || !isSheetCode(codeValue.toText())) {
      skipMalformedCode(routine, codeValue, rows.value(1));
      continue;
    }
    found.emplace_back(codeValue.toText(), rows.value(1).toText());
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [code, type] : found) {
    const std::string entry = byKey ? code + type : code;
    sheets.add(entry, byKey ? type : code);
    const std::string area = entry.substr(0, 3);
    std::shared_ptr<clsNode> root;
    if (auto* known = roots.find(area)) {
      root = *known;
    } else {
      root = std::make_shared<clsNode>();
      root->setNodeType("FFHGebiet");
      root->setNodeValue(area);
      roots.add(area, root);
    }
    root->addGBCode(entry);
  }
  return 100;
}

void clsDBFData::skipUnknownType(const std::string& routine, const std::string& code,
                                 const Value& sheetType) {
  const std::string message = unknownTypeMessage(code, sheetType);
  if (std::find(skippedCodes_.begin(), skippedCodes_.end(), message) != skippedCodes_.end()) return;
  skippedCodes_.push_back(message);
  log().Ausgabe(3, routine + ": Warnung! " + message);
}

void clsDBFData::addNote(const std::string& note) {
  if (std::find(notes_.begin(), notes_.end(), note) == notes_.end()) notes_.push_back(note);
}

void clsDBFData::noteAreaMissing(const std::string& code) {
  addNote("Das FFH-Gebiet " + code.substr(0, 3) + " fehlt in der Tabelle " +
          tableName(schema::table::kFfhnum) +
          "; die Dokumente seiner Polygone zeigen an seiner Stelle die ersten vier Ziffern der "
          "Bogennummer.");
}

void clsDBFData::skipMalformedCode(const std::string& routine, const Value& code,
                                   const Value& sheetType) {
  const std::string message = skippedCodeMessage(code, sheetType);
  if (std::find(skippedCodes_.begin(), skippedCodes_.end(), message) != skippedCodes_.end()) return;
  skippedCodes_.push_back(message);
  log().Ausgabe(3, routine + ": Warnung! " + message);
}

}  // namespace data
