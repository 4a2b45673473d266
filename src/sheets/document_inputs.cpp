#include "sheets/document_inputs.h"

#include <clocale>
#include <filesystem>

#include "app/cls_debug.h"
#include "app/resource_folder.h"
#include "app/settings.h"
#include "base/ascii_case.h"
#include "base/file_lookup.h"
#include "sheets/mod_ffh_bogen.h"

namespace sheets {
namespace fs = std::filesystem;
namespace {

// The survey a sheet's own documents read: its rows in the sheet table (every type of its code:
// the species lists join them), in its type's two tables, remarks, plant sociology and species
// assessments, with the species catalogue whole.
std::vector<SurveyPart> sheetParts(const std::string& key, const data::clsDBFData& db) {
  std::string main, second;
  if (!db.GetTableName(key, 1, main) || !db.GetTableName(key, 2, second)) return {};
  const std::string code = sheetCode(key);
  return {{db.tableName(24), "GBCODE", code},
          {main, "GBCODE", code},
          {second, "GBCODE", code},
          {db.tableName(1), "GBCODE", code},
          {db.tableName(27), "GELBOGENNR", code},
          {db.tableName(2), "GELBOGENNR", code},
          {db.tableName(25), "", ""}};
}

}  // namespace

std::vector<SurveyPart> cleanCopyParts(const std::string& key, const data::clsDBFData& db) {
  auto parts = sheetParts(key, db);
  if (parts.empty()) return parts;
  // The head names the FFH area and the polygon.
  parts.push_back({db.tableName(22), "", ""});
  parts.push_back({db.tableName(28), "POLPOLYGON", formatCode(key.substr(0, 11), 11)});
  return parts;
}

std::vector<SurveyPart> reportParts(const std::string& key, const data::clsDBFData& db) {
  auto parts = sheetParts(key, db);
  if (parts.empty()) return parts;
  // The head names the FFH area, the habitat types and the biotope types.
  for (int catalogue : {22, 23, 21}) parts.push_back({db.tableName(catalogue), "", ""});
  return parts;
}

std::vector<SurveyPart> coverSheetParts(const std::string& polygonCode,
                                        const data::clsDBFData& db) {
  // The polygon's types come from the codes that start with it, its survey units from the
  // sheets its GBPOLYGON names.
  return {{db.tableName(24), "GBCODE", polygonCode, true},
          {db.tableName(24), "GBPOLYGON", polygonCode}};
}

DocumentInputs::DocumentInputs(const app::Settings& settings, const word::clsWordDoc& engine)
    : settings_(settings), engine_(engine) {}

std::optional<base::Digest> DocumentInputs::fileDigest(const std::string& file) {
  std::lock_guard lock(mutex_);
  auto it = files_.find(file);
  if (it == files_.end()) it = files_.emplace(file, base::digestOfFile(file)).first;
  return it->second;
}

// Every file beside the shapefile that shares its name: the geometry, its index, the attribute
// table, its code page and coordinate system, whatever a map may read.
std::optional<base::Digest> DocumentInputs::shapeFiles() {
  {
    std::lock_guard lock(mutex_);
    if (shape_) return *shape_;
  }
  const fs::path shp = settings_.get(app::kShapeFilesPfad);
  const std::string stem = shp.stem().string() + ".";
  std::map<std::string, fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(shp.parent_path().empty() ? "." : shp.parent_path(), ec), end;
       !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > stem.size() && base::equalsNoCase(name.substr(0, stem.size()), stem))
      files.emplace(name, it->path());
  }
  std::optional<base::Digest> digest;
  if (!ec && !files.empty()) {
    base::ContentHash h;
    bool sound = true;
    for (const auto& [name, path] : files) {
      const auto file = base::digestOfFile(path);
      // A folder or link of that name is no part of the shapefile.
      if (!file && fs::is_regular_file(fs::symlink_status(path, ec))) sound = false;
      h.add(name).add(file ? base::hexDigest(*file) : "-");
    }
    if (sound) digest = h.finish();
  }
  std::lock_guard lock(mutex_);
  shape_ = digest;
  return digest;
}

// The umlaut table repairs the texts of mis-decoded tables; a missing one repairs none.
std::optional<base::Digest> DocumentInputs::umlautTableDigest() {
  {
    std::lock_guard lock(mutex_);
    if (umlauts_) return *umlauts_;
  }
  const fs::path file = base::findFileNoCase(app::resourceFolder() / "data", "umlaute2.dbf");
  const auto digest = file.empty() ? std::nullopt : base::digestOfFile(file);
  std::lock_guard lock(mutex_);
  umlauts_ = digest;
  return digest;
}

bool DocumentInputs::addCommon(base::ContentHash& h, const std::string& kind,
                               const std::string& templateKey) {
  const std::string* relative = engine_.templates().find(templateKey);
  if (!relative) return false;
  const auto templateFile = fileDigest((fs::path(word::programFolder()) / *relative).string());
  if (!templateFile) return false;
  const auto umlautTable = umlautTableDigest();
  h.add(kind).add(app::kProgramVersion).add(templateKey).add(*templateFile);
  h.add(umlautTable ? base::hexDigest(*umlautTable) : "-");
  // Dates and numbers are written as the locale writes them.
  for (int category : {LC_TIME, LC_NUMERIC}) {
    const char* name = std::setlocale(category, nullptr);
    h.add(name ? name : "");
  }
  h.add(settings_.get(app::kDbfFilesPfad));
  return true;
}

std::optional<base::Digest> DocumentInputs::digest(const std::string& kind,
                                                   const std::string& templateKey,
                                                   const std::vector<SurveyPart>& parts,
                                                   data::clsDBFData& db, bool withShapefile) {
  base::ContentHash h;
  if (parts.empty() || !addCommon(h, kind, templateKey)) return std::nullopt;
  for (const SurveyPart& part : parts) {
    const auto table = db.tableDigest(part.table);
    if (!table) return std::nullopt;
    h.add(part.table).add(part.column).add(part.value);
    if (part.column.empty())
      h.add(table->whole());
    else
      h.add(part.prefix ? table->rowsStartingWith(part.column, part.value)
                        : table->rowsOf(part.column, part.value));
  }
  if (withShapefile) {
    const auto shape = shapeFiles();
    if (!shape) return std::nullopt;
    h.add(settings_.get(app::kShapeFilesPfad)).add(*shape);
  }
  return h.finish();
}

std::optional<base::Digest> DocumentInputs::cleanCopy(const std::string& key,
                                                      data::clsDBFData& db) {
  if (key.size() <= 12) return std::nullopt;
  return digest("Reinschrift", key.substr(12), cleanCopyParts(key, db), db, false);
}

std::optional<base::Digest> DocumentInputs::report(const std::string& key, data::clsDBFData& db) {
  if (key.size() <= 12) return std::nullopt;
  return digest("Datenreport", key.substr(12) + "-Report", reportParts(key, db), db, false);
}

std::optional<base::Digest> DocumentInputs::coverSheet(const std::string& polygonCode,
                                                       data::clsDBFData& db) {
  return digest("Deckblatt", "Deckblatt", coverSheetParts(polygonCode, db), db, true);
}

}  // namespace sheets
