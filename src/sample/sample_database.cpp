#include "sample/sample_database.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include "data/dbf/code_page.h"
#include "data/dbf/dbf_file.h"
#include "data/schema/gbogen_columns.h"
#include "data/schema/sheet_types.h"
#include "data/schema/survey_tables.h"
#include "sample/sample_content.h"

namespace sample {
namespace {

using data::Value;
using data::dbf::DbfWriter;
using data::schema::surveySchema;
using data::schema::TableSchema;
namespace gbogen = data::schema::gbogen;

// Not std::uniform_int_distribution: its results differ between standard libraries, and the
// sample must be the same everywhere for one seed.
class Random {
 public:
  explicit Random(uint32_t seed) : engine_(seed) {}
  uint32_t below(size_t n) { return static_cast<uint32_t>(engine_() % n); }
  int between(int lo, int hi) {
    return lo + static_cast<int>(below(static_cast<size_t>(hi - lo + 1)));
  }
  bool chance(int percent) { return below(100) < static_cast<uint32_t>(percent); }
  template <class T>
  const T& pick(const std::vector<T>& v) {
    return v.at(below(v.size()));
  }

 private:
  std::mt19937 engine_;
};

Value text(std::string s) {
  return Value::text(std::move(s));
}

std::string digits(long value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*ld", width, value);
  return buf;
}

bool hasToken(const char* list, std::string_view token) {
  std::string_view rest(list);
  while (!rest.empty()) {
    const size_t blank = rest.find(' ');
    if (rest.substr(0, blank) == token) return true;
    if (blank == std::string_view::npos) break;
    rest.remove_prefix(blank + 1);
  }
  return false;
}

// One open table: a writer and the positions of its columns by name.
class Table {
 public:
  Table(const std::filesystem::path& dir, const TableSchema& schema, const std::string& codePage)
      : schema_(schema),
        writer_(dir / (schema.name + ".dbf"), schema.fields(), codePage),
        row_(schema.columns.size()) {
    for (size_t i = 0; i < schema.columns.size(); ++i) positions_[schema.columns[i].field.name] = i;
  }

  const TableSchema& schema() const { return schema_; }
  void set(const std::string& column, Value v) {
    const auto it = positions_.find(column);
    if (it == positions_.end())
      throw std::logic_error("table " + schema_.name + " has no column " + column);
    row_[it->second] = std::move(v);
  }
  void set(size_t position, Value v) { row_.at(position) = std::move(v); }
  // Writes the row built with set() and starts a blank one.
  void append() {
    writer_.append(row_);
    std::fill(row_.begin(), row_.end(), Value());
  }
  void finish() { writer_.finish(); }

 private:
  const TableSchema& schema_;
  DbfWriter writer_;
  std::vector<Value> row_;
  std::unordered_map<std::string, size_t> positions_;
};

struct Area {
  int number = 0;
  std::string ffhNr;
  std::string name;
  std::string tk25;
  std::string naturalRegion;
  std::string district;
  std::string municipality;
  int subAreas = 1;
  int east = 0;
  int north = 0;
};

// Sheet types that share a code in a few places; never two types of one table pair.
const std::map<std::string, std::string> kSecondType{
    {"F", "GT"}, {"GT", "F"}, {"GN", "S"}, {"W", "T"}, {"H", "X"}};

class Generator {
 public:
  Generator(const std::filesystem::path& dir, const SampleOptions& options)
      : options_(options), random_(options.seed) {
    for (const auto& schema : surveySchema())
      tables_.emplace(schema.name, std::make_unique<Table>(dir, schema, options.codePage));
    for (size_t i = 0; i < plantSpecies().size(); ++i) {
      const auto& p = plantSpecies()[i];
      plantNumbers_.push_back(std::string(1, p.group) + digits(1000 + 7 * static_cast<long>(i), 6));
    }
  }

  SampleResult run() {
    writeCatalogues();
    makeAreas();
    writePolygons();
    for (auto& [name, table] : tables_) table->finish();
    return std::move(result_);
  }

 private:
  Table& table(const std::string& name) { return *tables_.at(name); }

  void writeCatalogues() {
    for (const auto& b : biotopeTypes()) {
      auto& t = table("biottyp");
      t.set("CODE", text(b.code));
      t.set("BIOTYP", text(b.name));
      t.append();
    }
    for (const auto& h : habitatTypes()) {
      auto& t = table("ffh_ref");
      t.set("CODE_EG", text(h.codeEg));
      t.set("CODE_ALT", text(h.codeAlt));
      t.set("NAME", text(h.name));
      t.append();
    }
    for (size_t i = 0; i < plantSpecies().size(); ++i) {
      const auto& p = plantSpecies()[i];
      auto& t = table("pflanzen");
      t.set("SATZNUMMER", text(plantNumbers_[i]));
      t.set("GATTUNG", text(p.genus));
      t.set("ART", text(p.species));
      t.set("KURZNAME", text(p.germanName));
      if (p.layer != ' ') t.set("SCHICHT", text(std::string(1, p.layer)));
      t.append();
    }
    for (const auto& u : sociologyUnits()) {
      auto& t = table("pflsozio");
      t.set("CODE", text(u.code));
      t.set("NAME", text(u.name));
      t.append();
    }
  }

  void makeAreas() {
    const int count = std::clamp((options_.polygons + 11) / 12, 1, 999);
    std::vector<int> numbers(999);
    for (int i = 0; i < 999; ++i) numbers[i] = i + 1;
    for (int i = 0; i < count; ++i) std::swap(numbers[i], numbers[i + random_.below(999 - i)]);
    numbers.resize(count);
    std::sort(numbers.begin(), numbers.end());
    std::set<std::string> ffhNumbers;
    for (int number : numbers) {
      Area a;
      a.number = number;
      do {
        a.tk25 = digits(random_.between(47, 63), 2) + digits(random_.between(1, 25), 2);
        a.ffhNr = a.tk25 + "-" + digits(random_.between(301, 399), 3);
      } while (!ffhNumbers.insert(a.ffhNr).second);
      const char* place = random_.pick(placeNames());
      static const std::vector<const char*> joins{" bei ", " um ", " südlich von ",
                                                  " nördlich von "};
      a.name = std::string(random_.pick(landscapeWords())) + random_.pick(joins) + place;
      a.municipality = place;
      a.naturalRegion = "35" + digits(random_.between(0, 7), 1);
      a.district = "63" + digits(random_.between(1, 5), 1);
      a.subAreas = random_.between(1, 3);
      a.east = 3480000 + static_cast<int>(random_.below(140000));
      a.north = 5550000 + static_cast<int>(random_.below(150000));
      auto& t = table("ffhnum");
      t.set("FFHNR", Value::integer(a.number));
      t.set("FFH_NR", text(a.ffhNr));
      t.set("NAME", text(a.name));
      t.append();
      areas_.push_back(std::move(a));
    }
  }

  const SheetTypeContent& typeContent(const std::string& type) {
    for (const auto& c : sheetTypes())
      if (type == c.type) return c;
    throw std::logic_error("unknown sheet type " + type);
  }

  std::string randomType() {
    // Grassland and woodland sheets are the most frequent in a survey.
    static const std::vector<const char*> weighted{"GT", "GT", "GT", "GN", "GN", "W", "W", "W", "H",
                                                   "H",  "F",  "K",  "M",  "S",  "T", "T", "X"};
    return random_.pick(weighted);
  }

  void writePolygons() {
    const int total = options_.polygons;
    const int areaCount = static_cast<int>(areas_.size());
    std::vector<int> nextPolygon;  // per area and sub-area
    int firstOfArea = 0;
    for (int a = 0; a < areaCount; ++a) {
      const int lastOfArea = static_cast<int>(static_cast<long long>(total) * (a + 1) / areaCount);
      const Area& area = areas_[a];
      const int inArea = lastOfArea - firstOfArea;
      std::vector<int> counters(area.subAreas, 0);
      for (int p = firstOfArea; p < lastOfArea; ++p) {
        const int sub = static_cast<int>(static_cast<long long>(p - firstOfArea) * area.subAreas /
                                         std::max(inArea, 1));
        counters[sub] += random_.chance(15) ? 2 : 1;
        const std::string polygon =
            digits(area.number, 3) + digits(sub + 1, 3) + digits(counters[sub], 5);
        writePolygon(p, area, polygon);
      }
      firstOfArea = lastOfArea;
    }
  }

  void writePolygon(int index, const Area& area, const std::string& polygon) {
    const int roll = static_cast<int>(random_.below(10));
    const int parts = roll < 6 ? 1 : roll < 9 ? 2 : 3;
    std::vector<std::string> types;
    // The first polygons carry the sheet types in order, so that every type is present.
    const auto& everyType = data::schema::sheetTypes();
    for (int k = 0; k < parts; ++k)
      types.push_back(index < static_cast<int>(everyType.size()) && k == 0
                          ? everyType[static_cast<std::size_t>(index)].code
                          : randomType());
    std::vector<int> shares;
    if (parts == 1) shares = {100};
    if (parts == 2) {
      const int first = 5 * random_.between(6, 14);
      shares = {first, 100 - first};
    }
    if (parts == 3) {
      const int first = 5 * random_.between(4, 10);
      const int second = 5 * random_.between(2, (100 - first) / 5 - 2);
      shares = {first, second, 100 - first - second};
    }

    static const std::vector<const char*> joins{
        " bei ",      " nördlich ",   " südlich ",        " östlich ",
        " westlich ", " im Tal bei ", " am Ortsrand von "};
    const std::string name = std::string(random_.pick(typeContent(types[0]).nameWords)) +
                             random_.pick(joins) + random_.pick(placeNames());
    auto& t = table("polygone");
    t.set("POLPOLYGON", text(polygon));
    t.set("POLNAME", text(name));
    t.set("POLTEILE", Value::integer(parts));
    t.append();
    result_.polygons.push_back({polygon, name, parts});

    for (int k = 0; k < parts; ++k) {
      const std::string code = polygon + std::to_string(k + 1);
      writeSheet(area, polygon, code, types[k], shares[k]);
      const auto second = kSecondType.find(types[k]);
      if (second != kSecondType.end() && random_.chance(6))
        writeSheet(area, polygon, code, second->second, shares[k]);
      writeSpecies(code, types[k]);
      writeRemark(code);
      writeSociology(code, types[k]);
      codes_.push_back(code);
    }
  }

  void writeSheet(const Area& area, const std::string& polygon, const std::string& code,
                  const std::string& type, int share) {
    const SheetTypeContent& content = typeContent(type);
    auto& g = table("GBogen");
    g.set(gbogen::kCode, text(code));
    g.set(gbogen::kType, text(type));
    g.set(gbogen::kPolygon, text(polygon));
    const std::string mainBiotope = random_.pick(content.biotopes);
    g.set(gbogen::kBiotope, text(mainBiotope));
    // Secondary codes: mostly none to two; now and then a gap before the first one.
    const int secondary =
        std::min(5, static_cast<int>(random_.below(4)) + (random_.chance(10) ? 2 : 0));
    std::set<std::string> used{mainBiotope};
    const int start = random_.chance(4) ? 1 : 0;
    for (int i = 0; i < secondary && start + i < 5; ++i) {
      std::string b = random_.pick(biotopeTypes()).code;
      if (!used.insert(b).second) continue;
      g.set(gbogen::kBiotope + 1 + start + i, text(b));
    }
    g.set("GBTEIL", text(code.substr(11)));
    static const std::vector<std::pair<const char*, int>> choices{
        {"GBSTRUKT", 3}, {"GBWASSER", 4}, {"GBNAEHRST", 3}, {"GBBODEN", 4},
        {"GBRELIEF", 4}, {"GBLICHT", 3},  {"GBALTER", 4}};
    for (const auto& [column, range] : choices)
      if (!random_.chance(10)) g.set(column, text(std::to_string(random_.between(1, range))));
    const bool point = random_.chance(5);
    g.set(gbogen::kShare, Value::integer(point ? 0 : share));
    if (point)
      g.set(gbogen::kSize, text("ca. " + std::to_string(random_.between(2, 80) * 5) + " qm"));
    const bool habitat = !content.habitats.empty() && !random_.chance(20);
    if (habitat) {
      const std::string first = random_.pick(content.habitats);
      g.set(gbogen::kHabitat1, text(first));
      if (random_.chance(15)) {
        const std::string other = random_.pick(habitatTypes()).codeEg;
        if (other != first) g.set(gbogen::kHabitat2, text(other));
      }
      g.set("GBEHZ", text(std::string(1, "ABC"[random_.below(3)])));
    }
    g.set("GBWERT", text(std::to_string(random_.between(1, 3))));
    g.set("GBGESETZ", Value::boolean(random_.chance(50)));
    g.set("GBLRTFL", Value::boolean(habitat));
    static const std::vector<const char*> surveyors{"HM",  "KSch", "AWe", "RFi",
                                                    "TGr", "SKl",  "BuN"};
    g.set("GBKARTIER", text(random_.pick(surveyors)));
    g.set("GBDATUM", Value::date({random_.between(2003, 2008), random_.between(5, 9),
                                  random_.between(1, 28)}));
    static const std::vector<const char*> locations{
        "Südhang bei ",   "Nordhang bei ",     "Talaue nördlich ",   "Ortsrand von ",
        "Kuppe östlich ", "Waldrand südlich ", "am Mühlgraben bei ", "Flur Hühnerwiese bei "};
    g.set(gbogen::kLocation,
          text(std::string(random_.pick(locations)) + random_.pick(placeNames())));
    const int copyRoll = static_cast<int>(random_.below(100));
    int copy = copyRoll < 84 ? 0 : copyRoll < 89 ? 1 : copyRoll < 94 ? 2 : copyRoll < 97 ? 3 : 4;
    // The sheets after the first ten carry every copy status once, so that each is present.
    if (result_.sheets >= 10 && result_.sheets < 14) copy = result_.sheets - 9;
    if (copy != 0) {
      g.set(gbogen::kCopy, text(std::to_string(copy)));
      if (copy >= 2 && !codes_.empty() && !random_.chance(20))
        g.set(gbogen::kCopySource, text(random_.pick(codes_)));
    }
    g.set("GBTK25", text(area.tk25));
    g.set("GBRECHTS", Value::integer(area.east + random_.between(-3000, 3000)));
    g.set("GBHOCH", Value::integer(area.north + random_.between(-3000, 3000)));
    g.set("GBHOEHE", Value::integer(random_.between(150, 950)));
    static const std::vector<const char*> aspects{"N", "NO", "O", "SO", "S", "SW", "W", "NW"};
    if (!random_.chance(25)) g.set("GBEXPOS", text(random_.pick(aspects)));
    if (type == "K")
      for (int i = 0; i < 3; ++i)
        if (i == 0 || random_.chance(60))
          g.set(gbogen::kComplexMark1 + i, text(std::to_string(random_.between(1, 4))));
    static const std::vector<const char*> uses{"GM", "GW", "GB", "FW", "FN", "NN"};
    g.set("GBNUTZ", text(random_.pick(uses)));
    if (random_.chance(30)) g.set("GBPFLEGE", text("X"));
    if (random_.chance(10)) g.set("GBGEFAEHR", text("X"));
    g.set("GBNATRAUM", text(area.naturalRegion));
    g.set("GBKREIS", text(area.district));
    g.set("GBGEMEINDE", text(area.municipality));
    g.set("GBEIGENT", text(std::string(1, "SKP"[random_.below(3)])));
    g.set("GBSTATUS", text(random_.chance(70) ? "G" : "E"));
    static const std::vector<const char*> impairments{"110", "120", "140", "160", "200",
                                                      "220", "250", "310", "370", "400",
                                                      "410", "430", "530", "600", "700"};
    const int impairmentCount = static_cast<int>(random_.below(5));
    for (int i = 0; i < impairmentCount; ++i)
      g.set(gbogen::kImpairment1 + i, text(std::string("B") + random_.pick(impairments)));
    for (int v = 1; v <= 5; ++v)
      if (!random_.chance(10))
        g.set("GBVAR" + std::to_string(v), Value::integer(random_.chance(30) ? 1 : 0));
    g.append();
    ++result_.sheets;

    const data::schema::SheetType& tables = *data::schema::findSheetType(type);
    writeTypeRow(table(tables.table1), code);
    writeTypeRow(table(tables.table2), code);
  }

  void writeTypeRow(Table& t, const std::string& code) {
    for (size_t i = 0; i < t.schema().columns.size(); ++i) {
      const auto& f = t.schema().columns[i].field;
      if (f.name == "GBCODE") {
        t.set(i, text(code));
      } else if (f.type == 'C' && f.length == 1) {
        if (random_.chance(45)) t.set(i, text("X"));
      } else if (f.type == 'C') {
        const auto& list = columnChoices(f.name);
        if (list.empty()) throw std::logic_error("no sample texts for column " + f.name);
        if (!random_.chance(8)) t.set(i, text(random_.pick(list)));
      } else if (f.type == 'N' && !random_.chance(8)) {
        if (f.decimals > 0) {
          t.set(i, Value::real(random_.between(1, 200) / 10.0));
        } else if (f.name == "ALTER") {
          t.set(i, Value::integer(random_.between(40, 220)));
        } else {
          static const int maxima[] = {0, 9, 40, 100, 2500, 9999, 60000};
          t.set(i, Value::integer(
                       random_.between(f.length == 3 ? 0 : 1, maxima[std::min<int>(f.length, 6)])));
        }
      }
    }
    t.append();
  }

  void writeSpecies(const std::string& code, const std::string& type) {
    std::vector<size_t> candidates;
    for (size_t i = 0; i < plantSpecies().size(); ++i)
      if (hasToken(plantSpecies()[i].sheetTypes, type)) candidates.push_back(i);
    const size_t count = std::min<size_t>(candidates.size(), random_.between(3, 12));
    for (size_t i = 0; i < count; ++i)
      std::swap(candidates[i], candidates[i + random_.below(candidates.size() - i)]);
    static const std::vector<const char*> herb{"r", "+", "1", "2a", "2b", "3", "4"};
    static const std::vector<const char*> woody{"+", "1", "2", "3", "4", "5"};
    static const std::vector<const char*> ratings{"2", "3", "V", "G"};
    auto& t = table("artenbew");
    for (size_t i = 0; i < count; ++i) {
      const auto& p = plantSpecies()[candidates[i]];
      t.set("GELBOGENNR", text(code));
      t.set("SATZNUMMER", text(plantNumbers_[candidates[i]]));
      if (p.layer == 'B') {
        t.set("MENGEB1", text(random_.pick(woody)));
        if (random_.chance(30)) t.set("MENGEB2", text(random_.pick(woody)));
        if (random_.chance(20)) t.set("MENGESTR", text(random_.pick(woody)));
        if (random_.chance(20)) t.set("MENGE", text("+"));
      } else if (p.layer == 'S') {
        t.set("MENGESTR", text(random_.pick(woody)));
        if (random_.chance(25)) t.set("MENGE", text(random_.pick(herb)));
      } else {
        t.set("MENGE", text(random_.pick(herb)));
      }
      if (*p.redList) {
        t.set("RL", text(p.redList));
        for (const char* column : {"MENGERLG", "MENGERLGB", "MENGERLGC"})
          if (random_.chance(60)) t.set(column, text(random_.pick(ratings)));
      }
      t.append();
    }
  }

  void writeRemark(const std::string& code) {
    if (!random_.chance(45)) return;
    auto& t = table("anmerk");
    t.set("GBCODE", text(code));
    if (!random_.chance(4)) {
      const auto& all = remarkSentences();
      const size_t sentences = random_.chance(10) ? random_.between(6, 10) : random_.between(1, 3);
      std::vector<size_t> order(all.size());
      for (size_t i = 0; i < order.size(); ++i) order[i] = i;
      std::string remark;
      for (size_t i = 0; i < sentences; ++i) {
        std::swap(order[i], order[i + random_.below(order.size() - i)]);
        remark += (i ? " " : "") + std::string(all[order[i]]);
      }
      t.set("ANMERKUNG", text(remark));
    }
    t.set("ANMDATUM", Value::date({random_.between(2004, 2009), random_.between(1, 12),
                                   random_.between(1, 28)}));
    t.append();
  }

  void writeSociology(const std::string& code, const std::string& type) {
    if (!random_.chance(60)) return;
    std::vector<const SociologyUnit*> fitting;
    for (const auto& u : sociologyUnits())
      if (hasToken(u.sheetTypes, type)) fitting.push_back(&u);
    if (fitting.empty()) return;
    const int rows = random_.between(1, 3);
    auto& t = table("pfsozbew");
    // A unit is recorded once per sheet.
    for (int i = 0; i < rows && !fitting.empty(); ++i) {
      const SociologyUnit* u = random_.pick(fitting);
      fitting.erase(std::find(fitting.begin(), fitting.end(), u));
      t.set("GELBOGENNR", text(code));
      if (!random_.chance(3)) t.set("PFSOZ", text(u->name));
      t.set("PFSOZCODE", text(u->code));
      t.set("ANTEIL", Value::integer(5 * random_.between(1, 20)));
      t.append();
    }
  }

  SampleOptions options_;
  Random random_;
  std::map<std::string, std::unique_ptr<Table>> tables_;
  std::vector<std::string> plantNumbers_;
  std::vector<Area> areas_;
  std::vector<std::string> codes_;
  SampleResult result_;
};

}  // namespace

SampleResult writeSampleDatabase(const std::filesystem::path& dir, const SampleOptions& options) {
  if (options.polygons < 1 || options.polygons > 500000)
    throw std::invalid_argument("the number of polygons must lie between 1 and 500000");
  std::filesystem::create_directories(dir);
  return Generator(dir, options).run();
}

void writeUmlautTable(const std::filesystem::path& file) {
  {
    DbfWriter w(file, {{"UMLAUT", 'C', 4, 0}}, "CP850");
    for (const char* letter : {"ä", "ö", "ü", "Ä", "Ö", "Ü", "ß"}) w.append({Value::text(letter)});
    w.finish();
  }
  // The language driver byte (offset 29) then claims Windows text: the mistake to undo.
  std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
  out.seekp(29);
  const char windows = static_cast<char>(data::dbf::ldidForCodePage("CP1252"));
  out.write(&windows, 1);
  if (!out) throw data::dbf::DbfError(file.string() + ": the language driver byte was not written");
}

}  // namespace sample
