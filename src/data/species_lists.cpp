#include "data/species_lists.h"

#include <functional>
#include <optional>

namespace data {
namespace {

bool present(const Value& v) {
  return !v.isNull();
}

// Inserts each element before the trailing run of elements whose key is greater than its own,
// so equal keys keep their order.
template <typename T>
void insertionSort(std::vector<T>& list, const std::function<std::string(const T&)>& key) {
  if (list.empty()) return;
  std::vector<T> sorted;
  std::vector<std::string> keys;
  sorted.reserve(list.size());
  for (auto& element : list) {
    std::string k = lowerCase(key(element));
    std::size_t pos = sorted.size();
    while (pos > 0 && keys[pos - 1] > k) --pos;
    sorted.insert(sorted.begin() + static_cast<std::ptrdiff_t>(pos), std::move(element));
    keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(pos), std::move(k));
  }
  list = std::move(sorted);
}

void decideGroup(clsPflanzenart& species, Recordset& rows) {
  const std::string number = rows.value(2).toText();
  const char first = number.empty() ? '\0' : number[0];
  if (first == 'S') {
    const Value& layer = rows.value("SCHICHT");
    if (!layer.isNull() && layer.toText() == "B") {
      species.Pflanzentyp = 1;
      species.IstBaumart = true;
    } else {
      species.Pflanzentyp = 2;
    }
  } else if (first == 'L') {
    species.Pflanzentyp = 3;
  } else if (first == 'B') {
    species.Pflanzentyp = 4;
  }
}

}  // namespace

std::string speciesQuery() {
  return std::string("SELECT gbogen.GBCODE, gbogen.GBBOGEN, ") +
         " artenbew.SATZNUMMER, pflanzen.SATZNUMMER, artenbew.RL, pflanzen.GATTUNG, "
         "pflanzen.ART, artenbew.RL, artenbew.MENGE, " +
         " artenbew.MENGERLG, artenbew.MENGERLGB, artenbew.MENGERLGC, artenbew.MENGESTR, "
         "artenbew.MENGEB1, artenbew.MENGEB2, " +
         " pflanzen.KURZNAME, pflanzen.SCHICHT " +
         " FROM (artenbew INNER JOIN gbogen ON artenbew.GELBOGENNR = gbogen.GBCODE) INNER JOIN "
         "pflanzen ON artenbew.SATZNUMMER = pflanzen.SATZNUMMER" +
         " WHERE (((gbogen.GBCODE)=?))";
}

std::string lowerCase(const std::string& text) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c + 32);
    } else if (c == 0xC3 && i + 1 < out.size()) {
      // U+00C0..U+00DE are the Latin-1 capitals (but U+00D7, the multiplication sign).
      unsigned char d = static_cast<unsigned char>(out[i + 1]);
      if (d >= 0x80 && d <= 0x9E && d != 0x97) out[i + 1] = static_cast<char>(d + 0x20);
      ++i;
    }
  }
  return out;
}

void sortSpecies(std::vector<clsPflanzenart>& list) {
  insertionSort<clsPflanzenart>(list, [](const clsPflanzenart& s) { return s.Pflanzentext; });
}

void sortTexts(std::vector<std::string>& list) {
  insertionSort<std::string>(list, [](const std::string& s) { return s; });
}

std::vector<clsPflanzenart> SpeciesLists::group(int32_t pflanzentyp) const {
  std::vector<clsPflanzenart> out;
  for (const auto& s : species)
    if (s.Pflanzentyp == pflanzentyp) out.push_back(s);
  return out;
}

SpeciesLists buildSpeciesLists(Recordset& rows) {
  SpeciesLists lists;
  // The join repeats every assessment once per sheet type of the code (a code may carry two
  // sheets); the rows of one type hold each assessment exactly once.
  std::optional<std::string> sheetType;
  for (; !rows.isEOF(); rows.MoveNext()) {
    const std::string type = rows.value(1).toText();
    if (!sheetType) sheetType = type;
    if (type != *sheetType) continue;
    const Value& own = rows.value(2);
    const Value& listed = rows.value(3);
    if (own.isNull() || listed.isNull() || own.toText() != listed.toText()) continue;

    clsPflanzenart s;
    decideGroup(s, rows);
    if (present(rows.value(5)) && present(rows.value(6)))
      s.Pflanzentext = rows.value(5).toText() + " " + rows.value(6).toText();
    std::string layers;
    if (const Value& k = rows.value("KURZNAME"); present(k)) s.Kurzname = k.toText();
    s.IstRoteListeArt = present(rows.value(7));
    if (const Value& v = rows.value(14); present(v)) {
      layers = v.toText() + " B2";
      s.WertB2Schicht = v.toText();
    }
    if (const Value& v = rows.value(13); present(v)) {
      layers = layers.empty() ? v.toText() + " B1" : v.toText() + " B1, " + layers;
      s.WertB1Schicht = v.toText();
    }
    if (const Value& v = rows.value(12); present(v)) {
      layers = layers.empty() ? v.toText() + " STR" : v.toText() + " STR, " + layers;
      s.WertStrauchschicht = v.toText();
    }
    if (const Value& v = rows.value(8); present(v)) {
      layers = layers.empty() ? v.toText() : v.toText() + " K, " + layers;
      s.WertKrautschicht = v.toText();
    }
    s.Bogentext = layers + " " + s.Pflanzentext;
    lists.species.push_back(s);

    if (present(rows.value(7))) {
      std::string line =
          rows.value(5).toText() + " " + rows.value(6).toText() + " " + rows.value(7).toText();
      for (int column : {9, 10, 11})
        if (const Value& v = rows.value(column); present(v)) line += ", " + v.toText();
      lists.redList.push_back(line);
    }
  }
  sortTexts(lists.redList);
  sortSpecies(lists.species);
  return lists;
}

std::string listText(const std::vector<clsPflanzenart>& species) {
  if (species.empty()) return "keine\n";
  std::string text = species.front().Bogentext;
  for (std::size_t i = 1; i < species.size(); ++i) text += "\n" + species[i].Bogentext;
  return text + "\n";
}

std::string redListText(const std::vector<std::string>& lines) {
  if (lines.empty()) return "keine";
  std::string text = lines.front();
  for (std::size_t i = 1; i < lines.size(); ++i) text += "\n" + lines[i];
  return text;
}

}  // namespace data
