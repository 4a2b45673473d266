#include "tools/sample_messy.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>

#include "base/byte_order.h"
#include "data/dbf/code_page.h"
#include "data/dbf/dbf_file.h"
#include "tools/sample_schema.h"

namespace sample {
namespace {

using data::Value;
using data::dbf::DbfError;
using data::dbf::DbfReader;
using data::dbf::DbfWriter;
using data::dbf::FieldDescriptor;

struct Rows {
  std::vector<FieldDescriptor> fields;
  std::vector<std::vector<Value>> rows;
  std::vector<bool> deleted;

  void add(std::vector<Value> row) {
    rows.push_back(std::move(row));
    deleted.push_back(false);
  }
  void erase(std::size_t r) {
    rows.erase(rows.begin() + static_cast<long>(r));
    deleted.erase(deleted.begin() + static_cast<long>(r));
  }
};

using Tables = std::map<std::string, Rows>;

const std::map<std::string, std::string> kMainTable{
    {"F", "bgf"}, {"GN", "bgg"}, {"GT", "bgg"}, {"H", "bgh"}, {"K", "bgk"},
    {"M", "bgm"}, {"S", "bgs"},  {"T", "bgt"},  {"W", "bgw"}, {"X", "bgx"}};

Rows readTable(const std::filesystem::path& file) {
  const DbfReader reader = DbfReader::open(file);
  Rows t{reader.fields(), {}, {}};
  for (uint32_t r = 0; r < reader.recordCount(); ++r) {
    t.rows.push_back(reader.record(r));
    t.deleted.push_back(reader.isDeleted(r));
  }
  return t;
}

int column(const Rows& t, const std::string& name) {
  for (std::size_t i = 0; i < t.fields.size(); ++i)
    if (t.fields[i].name == name) return static_cast<int>(i);
  throw DbfError("no column " + name);
}

// Where a table's records and fields lie in its file.
struct Layout {
  std::size_t headerLength = 0, recordLength = 0;
};

Layout layoutOf(std::fstream& io) {
  unsigned char header[12] = {};
  io.seekg(0);
  io.read(reinterpret_cast<char*>(header), sizeof header);
  return {base::bytes::loadLE<uint16_t>(header + 8), base::bytes::loadLE<uint16_t>(header + 10)};
}

std::size_t fieldOffset(const Rows& t, int field) {
  std::size_t offset = 1;  // the deletion flag
  for (int i = 0; i < field; ++i) offset += t.fields[static_cast<std::size_t>(i)].length;
  return offset;
}

void write(const std::filesystem::path& file, const Rows& t, const std::string& codePage) {
  DbfWriter w(file, t.fields, codePage);
  for (const auto& row : t.rows) w.append(row);
  w.finish();
}

// Writes the table in the DOS code page, then clears the language driver byte (offset 29) and
// sets the deletion flags, as old survey programs leave their files.
void writeDos(const std::filesystem::path& file, const Rows& t) {
  write(file, t, "CP850");
  std::fstream io(file, std::ios::in | std::ios::out | std::ios::binary);
  const Layout layout = layoutOf(io);
  const char none = 0, star = '*';
  io.seekp(29);
  io.write(&none, 1);
  for (std::size_t r = 0; r < t.deleted.size(); ++r) {
    if (!t.deleted[r]) continue;
    io.seekp(static_cast<std::streamoff>(layout.headerLength + r * layout.recordLength));
    io.write(&star, 1);
  }
  if (!io) throw DbfError(file.string() + ": the DOS form could not be written");
}

// A sheet of a type whose code carries no second sheet loses its type-table rows.
std::string removeTypeRows(Tables& tables) {
  const Rows& sheets = tables.at("GBogen");
  std::map<std::string, int> perCode;
  for (const auto& row : sheets.rows) ++perCode[row[gbogen::kCode].toText()];
  for (auto it = sheets.rows.rbegin(); it != sheets.rows.rend(); ++it) {
    const std::string code = (*it)[gbogen::kCode].toText();
    const std::string type = (*it)[gbogen::kType].toText();
    if (perCode[code] != 1 || (type != "W" && type != "T" && type != "F")) continue;
    for (const std::string& table : {kMainTable.at(type), kMainTable.at(type) + "2"}) {
      Rows& t = tables.at(table);
      for (std::size_t r = 0; r < t.rows.size();)
        if (t.rows[r][0].toText() == code)
          t.erase(r);
        else
          ++r;
    }
    return code + type;
  }
  return {};
}

// Texts beginning with "X", decimals in structure fields, memo texts with umlauts and a column
// an office added to a sheet-type table, which no template shows.
void roughenTexts(Tables& tables) {
  Rows& sheets = tables.at("GBogen");
  const std::string xText = "XL-Hecke, Xerophyten";
  for (std::size_t r = 0; r < sheets.rows.size(); r += 7)
    sheets.rows[r][gbogen::kLocation] = Value::text(xText);
  for (const auto& [type, name] : kMainTable) {
    Rows& t = tables.at(name);
    for (std::size_t c = 1; c < t.fields.size() && !t.rows.empty(); ++c) {
      if (t.fields[c].type != 'C' || t.fields[c].length < xText.size()) continue;
      t.rows.front()[c] = Value::text(xText);
      break;
    }
  }
  for (auto& [name, t] : tables) {
    if (name.rfind("bg", 0) != 0) continue;
    for (std::size_t c = 0; c < t.fields.size(); ++c)
      if (t.fields[c].type == 'N' && t.fields[c].decimals > 0)
        for (auto& row : t.rows)
          if (!row[c].isNull()) row[c] = Value::real(18.5);
  }
  Rows& remarks = tables.at("anmerk");
  const int memo = column(remarks, "ANMERKUNG");
  for (std::size_t r = 0; r < remarks.rows.size(); r += 3)
    remarks.rows[r][memo] = Value::text(remarks.rows[r][memo].toText() +
                                        " Trittschäden an der Böschung, Größe üblich.");
  Rows& grassland = tables.at("bgg");
  grassland.fields.push_back({"BEMERKUNG", 'C', 30, 0});
  for (auto& row : grassland.rows) row.push_back(Value::text("vom Amt ergänzt: Gräben"));
}

// Names with letters DOS text cannot hold: polygon names in the Windows code page, area names
// in UTF-8.
void addForeignLetters(Tables& tables) {
  static const char* const kPolygonNames[] = {"Málaga-Aue, Žár, Tešín", "„Sázava” ™ Quelle",
                                              "Šumava – Žárské Moor"};
  Rows& polygons = tables.at("polygone");
  const int name = column(polygons, "POLNAME");
  for (std::size_t r = 0; r < polygons.rows.size(); r += 4)
    polygons.rows[r][name] = Value::text(kPolygonNames[(r / 4) % 3]);
  Rows& areas = tables.at("ffhnum");
  if (!areas.rows.empty())
    areas.rows.front()[column(areas, "NAME")] = Value::text("Žďár nad Sázavou „Nord” ™");
}

// The sheet table's odd rows: out of code order, one deleted record (a stale copy of a sheet),
// rows whose codes are Null, malformed or hold a control character, a sheet of no known type,
// a sheet stored twice and one whose GBPOLYGON names a polygon without sheets.
void roughenSheets(Rows& sheets, MessyResult& result) {
  std::reverse(sheets.rows.begin(), sheets.rows.end());
  std::vector<Value> stale = sheets.rows.front();
  stale[gbogen::kLocation] = Value::text("GELÖSCHTER DATENSATZ");
  sheets.add(stale);
  sheets.deleted.back() = true;
  const std::vector<Value> model = sheets.rows.front();
  for (const char* bad :
       {"", " 59001000011", "-59001000011", "059.001.0001", "05900100001ä", "05900\a100001"}) {
    std::vector<Value> row = model;
    row[gbogen::kCode] = *bad ? Value::text(bad) : Value();
    sheets.add(row);
    result.badCodes.emplace_back(bad);
  }
  const std::string code = model[gbogen::kCode].toText();
  std::vector<Value> unknown = model;
  unknown[gbogen::kType] = Value::text("Z");
  sheets.add(unknown);
  result.unknownTypeKey = code + "Z";

  const std::vector<Value> twice = sheets.rows[sheets.rows.size() / 3];
  sheets.add(twice);
  result.duplicateKey = twice[gbogen::kCode].toText() + twice[gbogen::kType].toText();

  std::vector<Value> stray = model;
  stray[gbogen::kCode] = Value::text(code.substr(0, 11) + "9");
  stray[gbogen::kType] = Value::text("GN");
  stray[gbogen::kPolygon] = Value::text("88888888888");
  sheets.add(stray);
  result.strayKey = code.substr(0, 11) + "9GN";
}

// The first area of ffhnum that is not the one the model sheet lies in goes.
void removeArea(Rows& areas, const std::string& keepArea, MessyResult& result) {
  const int number = column(areas, "FFHNR");
  for (std::size_t r = 0; r < areas.rows.size(); ++r) {
    double value = 0;
    if (!areas.rows[r][number].toNumber(value)) continue;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03d", static_cast<int>(value));
    if (digits == keepArea) continue;
    result.missingArea = digits;
    areas.erase(r);
    return;
  }
}

// After writing: one sheet's date becomes impossible, and the header counts ten records fewer
// than the file holds, as a writer leaves it that crashed before it updated the header.
void damageSheetFile(const std::filesystem::path& file, const Rows& sheets, MessyResult& result) {
  std::fstream io(file, std::ios::in | std::ios::out | std::ios::binary);
  const Layout layout = layoutOf(io);
  // A sheet that has its code to itself, so that the date belongs to one sheet only.
  std::map<std::string, int> perCode;
  for (const auto& row : sheets.rows) ++perCode[row[gbogen::kCode].toText()];
  std::size_t r = sheets.rows.size() / 2;
  while (perCode[sheets.rows[r][gbogen::kCode].toText()] != 1 || sheets.deleted[r]) ++r;
  io.seekp(static_cast<std::streamoff>(layout.headerLength + r * layout.recordLength +
                                       fieldOffset(sheets, column(sheets, "GBDATUM"))));
  io.write("20241301", 8);
  result.badDateKey =
      sheets.rows[r][gbogen::kCode].toText() + sheets.rows[r][gbogen::kType].toText();
  result.badDateRecord = static_cast<uint32_t>(r + 1);
  result.records = static_cast<uint32_t>(sheets.rows.size());
  result.headerCount = result.records - 10;
  unsigned char count[4];
  base::bytes::storeLE<uint32_t>(count, result.headerCount);
  io.seekp(4);
  io.write(reinterpret_cast<const char*>(count), 4);
  if (!io) throw DbfError(file.string() + ": the damage could not be written");
}

// A row of t with the given columns set, the others Null.
std::vector<Value> rowOf(const Rows& t, const std::map<std::string, Value>& values) {
  std::vector<Value> row(t.fields.size());
  for (const auto& [name, value] : values) row[static_cast<std::size_t>(column(t, name))] = value;
  return row;
}

// Codes no catalogue holds on the sheet with the foreign polygon (whose clean copy shows codes
// as stored and which gets no report), and rows of a sheet that does not exist.
void addStrayReferences(Tables& tables, MessyResult& result) {
  Rows& sheets = tables.at("GBogen");
  std::vector<Value>& stray = sheets.rows.back();
  result.unknownBiotope = "ZZ999";
  result.unknownHabitat = "9999";
  stray[static_cast<std::size_t>(column(sheets, "GBBIOTOP2"))] = Value::text(result.unknownBiotope);
  stray[gbogen::kHabitat2] = Value::text(result.unknownHabitat);
  Rows& species = tables.at("artenbew");
  result.unknownPlant = "S999999";
  species.add(rowOf(species, {{"GELBOGENNR", Value::text(result.strayKey.substr(0, 12))},
                              {"SATZNUMMER", Value::text(result.unknownPlant)},
                              {"MENGE", Value::text("1")}}));

  result.orphanCode = "999999000011";
  const Value orphan = Value::text(result.orphanCode);
  Rows& remarks = tables.at("anmerk");
  remarks.add(rowOf(remarks, {{"GBCODE", orphan},
                              {"ANMERKUNG", Value::text("Anmerkung zu einem gelöschten Bogen")},
                              {"ANMDATUM", Value::date({2006, 7, 14})}}));
  result.badMemoRecord = static_cast<uint32_t>(remarks.rows.size());
  const Rows& plants = tables.at("pflanzen");
  species.add(rowOf(species, {{"GELBOGENNR", orphan}, {"SATZNUMMER", plants.rows.front()[0]}}));
  Rows& sociology = tables.at("pfsozbew");
  sociology.add(rowOf(sociology, {{"GELBOGENNR", orphan}, {"ANTEIL", Value::integer(20)}}));
  Rows& water = tables.at("bgs");
  water.add(rowOf(water, {{"GBCODE", orphan}}));
}

// Two sheets that have their codes to themselves, below the middle of the table (the impossible
// date goes to the first such sheet from the middle on): one dated in the future, one without
// its surveyor.
void roughenHeads(Rows& sheets, MessyResult& result) {
  std::map<std::string, int> perCode;
  for (const auto& row : sheets.rows) ++perCode[row[gbogen::kCode].toText()];
  std::vector<std::size_t> picked;
  for (std::size_t r = sheets.rows.size() / 2; r-- > 0 && picked.size() < 2;) {
    const std::string key =
        sheets.rows[r][gbogen::kCode].toText() + sheets.rows[r][gbogen::kType].toText();
    if (perCode[sheets.rows[r][gbogen::kCode].toText()] == 1 && !sheets.deleted[r] &&
        key != result.untypedKey)
      picked.push_back(r);
  }
  auto keyOf = [&](std::size_t r) {
    return sheets.rows[r][gbogen::kCode].toText() + sheets.rows[r][gbogen::kType].toText();
  };
  sheets.rows[picked[0]][static_cast<std::size_t>(column(sheets, "GBDATUM"))] =
      Value::date({2099, 6, 15});
  result.futureDateKey = keyOf(picked[0]);
  sheets.rows[picked[1]][gbogen::kSurveyor] = Value();
  result.emptySurveyorKey = keyOf(picked[1]);
}

// pflsozio, which no document reads: a memo column without its memo file, a byte its marked
// code page does not define, and a header that counts three records more than the file holds.
void damageSociologyCatalogue(const std::filesystem::path& dir, Rows& catalogue,
                              MessyResult& result) {
  catalogue.fields.push_back({"BESCHREIB", 'M', 10, 0});
  for (auto& row : catalogue.rows) row.push_back(Value::text("Kennarten und Verbreitung"));
  const auto file = dir / "pflsozio.dbf";
  write(file, catalogue, "CP1252");
  std::filesystem::remove(dir / "pflsozio.dbt");
  std::fstream io(file, std::ios::in | std::ios::out | std::ios::binary);
  const Layout layout = layoutOf(io);
  io.seekp(static_cast<std::streamoff>(layout.headerLength +
                                       fieldOffset(catalogue, column(catalogue, "NAME"))));
  io.write("\x81", 1);
  result.shortRecords = static_cast<uint32_t>(catalogue.rows.size());
  result.shortHeaderCount = result.shortRecords + 3;
  unsigned char count[4];
  base::bytes::storeLE<uint32_t>(count, result.shortHeaderCount);
  io.seekp(4);
  io.write(reinterpret_cast<const char*>(count), 4);
  if (!io) throw DbfError(file.string() + ": the damage could not be written");
}

// The remark without a sheet points past the end of the memo file.
void damageMemoPointer(const std::filesystem::path& dir, const Rows& remarks,
                       const MessyResult& result) {
  const auto file = dir / "anmerk.dbf";
  std::fstream io(file, std::ios::in | std::ios::out | std::ios::binary);
  const Layout layout = layoutOf(io);
  io.seekp(static_cast<std::streamoff>(layout.headerLength +
                                       (result.badMemoRecord - 1) * layout.recordLength +
                                       fieldOffset(remarks, column(remarks, "ANMERKUNG"))));
  io.write("     99999", 10);
  if (!io) throw DbfError(file.string() + ": the memo pointer could not be written");
}

}  // namespace

MessyResult makeMessy(const std::filesystem::path& dir) {
  MessyResult result;
  Tables tables;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const auto name = entry.path().stem().string();
    if (entry.path().extension() != ".dbf" || name == "umlaute2") continue;
    tables.emplace(name, readTable(entry.path()));
  }
  result.untypedKey = removeTypeRows(tables);
  roughenTexts(tables);
  addForeignLetters(tables);
  Rows& sheets = tables.at("GBogen");
  roughenSheets(sheets, result);
  removeArea(tables.at("ffhnum"), result.unknownTypeKey.substr(0, 3), result);
  addStrayReferences(tables, result);
  roughenHeads(sheets, result);

  for (auto& [name, t] : tables) {
    const auto file = dir / (name + ".dbf");
    if (name == "pflsozio")
      damageSociologyCatalogue(dir, t, result);
    else if (name == "polygone")
      write(file, t, "CP1252");  // marked by its language driver byte
    else if (name == "ffhnum")
      write(file, t, "UTF-8");
    else
      writeDos(file, t);
  }
  // dBASE has no language driver byte for UTF-8; GIS programs write a ".cpg" file.
  std::ofstream(dir / "ffhnum.cpg") << "UTF-8";
  damageSheetFile(dir / "GBogen.dbf", sheets, result);
  damageMemoPointer(dir, tables.at("anmerk"), result);
  return result;
}

}  // namespace sample
