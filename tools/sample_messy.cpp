#include "tools/sample_messy.h"

#include <algorithm>
#include <fstream>
#include <map>

#include "base/byte_order.h"
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
};

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

// Writes the table in the DOS code page, then clears the language driver byte (offset 29) and
// sets the deletion flags, as old survey programs leave their files.
void writeDos(const std::filesystem::path& file, const Rows& t) {
  {
    DbfWriter w(file, t.fields, "CP850");
    for (const auto& row : t.rows) w.append(row);
    w.finish();
  }
  std::fstream io(file, std::ios::in | std::ios::out | std::ios::binary);
  unsigned char header[12] = {};
  io.read(reinterpret_cast<char*>(header), sizeof header);
  const std::size_t headerLength = base::bytes::loadLE<uint16_t>(header + 8);
  const std::size_t recordLength = base::bytes::loadLE<uint16_t>(header + 10);
  const char none = 0, star = '*';
  io.seekp(29);
  io.write(&none, 1);
  for (std::size_t r = 0; r < t.deleted.size(); ++r) {
    if (!t.deleted[r]) continue;
    io.seekp(static_cast<std::streamoff>(headerLength + r * recordLength));
    io.write(&star, 1);
  }
  if (!io) throw DbfError(file.string() + ": the DOS form could not be written");
}

}  // namespace

MessyResult makeMessy(const std::filesystem::path& dir) {
  MessyResult result;
  std::map<std::string, Rows> tables;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const auto name = entry.path().stem().string();
    if (entry.path().extension() != ".dbf" || name == "umlaute2") continue;
    tables.emplace(name, readTable(entry.path()));
  }
  Rows& sheets = tables.at("GBogen");
  const int lage = gbogen::kLocation;
  static const std::map<std::string, std::string> kMainTable{
      {"F", "bgf"}, {"GN", "bgg"}, {"GT", "bgg"}, {"H", "bgh"}, {"K", "bgk"},
      {"M", "bgm"}, {"S", "bgs"},  {"T", "bgt"},  {"W", "bgw"}, {"X", "bgx"}};

  // A sheet of a type whose code carries no second sheet loses its type-table rows.
  std::map<std::string, int> perCode;
  for (const auto& row : sheets.rows) ++perCode[row[gbogen::kCode].toText()];
  for (auto it = sheets.rows.rbegin(); it != sheets.rows.rend(); ++it) {
    const std::string code = (*it)[gbogen::kCode].toText();
    const std::string type = (*it)[gbogen::kType].toText();
    if (perCode[code] != 1 || (type != "W" && type != "T" && type != "F")) continue;
    result.untypedKey = code + type;
    for (const std::string& table : {kMainTable.at(type), kMainTable.at(type) + "2"}) {
      Rows& t = tables.at(table);
      for (std::size_t r = 0; r < t.rows.size();)
        if (t.rows[r][0].toText() == code) {
          t.rows.erase(t.rows.begin() + static_cast<long>(r));
          t.deleted.erase(t.deleted.begin() + static_cast<long>(r));
        } else {
          ++r;
        }
    }
    break;
  }

  // Texts beginning with "X", in the head and in the first text column of each type table.
  const std::string xText = "XL-Hecke, Xerophyten";
  for (std::size_t r = 0; r < sheets.rows.size(); r += 7) sheets.rows[r][lage] = Value::text(xText);
  for (const auto& [type, name] : kMainTable) {
    Rows& t = tables.at(name);
    for (std::size_t c = 1; c < t.fields.size() && !t.rows.empty(); ++c) {
      if (t.fields[c].type != 'C' || t.fields[c].length < xText.size()) continue;
      t.rows.front()[c] = Value::text(xText);
      break;
    }
  }
  // Decimals in structure fields.
  for (auto& [name, t] : tables) {
    if (name.rfind("bg", 0) != 0) continue;
    for (std::size_t c = 0; c < t.fields.size(); ++c)
      if (t.fields[c].type == 'N' && t.fields[c].decimals > 0)
        for (auto& row : t.rows)
          if (!row[c].isNull()) row[c] = Value::real(18.5);
  }
  // Memo texts with umlauts.
  Rows& remarks = tables.at("anmerk");
  const int memo = column(remarks, "ANMERKUNG");
  for (std::size_t r = 0; r < remarks.rows.size(); r += 3)
    remarks.rows[r][memo] = Value::text(remarks.rows[r][memo].toText() +
                                        " Trittschäden an der Böschung, Größe üblich.");

  // Out of code order, one deleted record (a stale copy of a sheet), and rows whose codes are
  // Null or malformed.
  std::reverse(sheets.rows.begin(), sheets.rows.end());
  std::vector<Value> stale = sheets.rows.front();
  stale[lage] = Value::text("GELÖSCHTER DATENSATZ");
  sheets.rows.push_back(stale);
  sheets.deleted.push_back(true);
  const std::vector<Value> model = sheets.rows.front();
  for (const char* bad : {"", " 59001000011", "-59001000011", "059.001.0001", "05900100001ä"}) {
    std::vector<Value> row = model;
    row[gbogen::kCode] = *bad ? Value::text(bad) : Value();
    sheets.rows.push_back(row);
    sheets.deleted.push_back(false);
    result.badCodes.emplace_back(bad);
  }

  for (const auto& [name, t] : tables) writeDos(dir / (name + ".dbf"), t);
  // One table names its code page in a ".cpg" file instead.
  std::ofstream(dir / "polygone.cpg") << "850";
  return result;
}

}  // namespace sample
