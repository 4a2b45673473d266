#include "data/schema/survey_tables.h"

#include <regex>
#include <stdexcept>

#include "base/ascii_case.h"

namespace data::schema {
namespace {

ColumnSchema col(const char* name, char type, int length, int decimals, const char* meaning) {
  return {{name, type, static_cast<uint8_t>(length), static_cast<uint8_t>(decimals)}, meaning};
}

std::vector<TableSchema> buildSchema() {
  auto code = [] { return col("GBCODE", 'C', 12, 0, "Bogennummer (Schlüssel)"); };
  std::vector<TableSchema> t;
  t.push_back({"anmerk",
               "Anmerkungen zu einem Geländebogen",
               {code(), col("ANMERKUNG", 'M', 10, 0, "freie Anmerkung (Memo)"),
                col("ANMDATUM", 'D', 8, 0, "Datum der Anmerkung")}});
  t.push_back({"artenbew",
               "Pflanzenarten eines Bogens mit Mengen und Rote-Liste-Einstufung",
               {col("GELBOGENNR", 'C', 12, 0, "Bogennummer (GBCODE)"),
                col("SATZNUMMER", 'C', 7, 0, "Satznummer der Art in pflanzen"),
                col("RL", 'C', 2, 0, "Rote-Liste-Status (leer: ungefährdet)"),
                col("MENGE", 'C', 3, 0, "Menge in der Krautschicht"),
                col("MENGERLG", 'C', 2, 0, "Rote Liste Region Nordwest"),
                col("MENGERLGB", 'C', 2, 0, "Rote Liste Region Nordost"),
                col("MENGERLGC", 'C', 2, 0, "Rote Liste Region Süd"),
                col("MENGESTR", 'C', 3, 0, "Menge in der Strauchschicht"),
                col("MENGEB1", 'C', 3, 0, "Menge in der ersten Baumschicht"),
                col("MENGEB2", 'C', 3, 0, "Menge in der zweiten Baumschicht")}});
  t.push_back(
      {"bgf",
       "Bogentyp F (Fels- und Gesteinsbiotope), Teil 1",
       {code(), col("GESTEIN", 'C', 20, 0, "Gesteinsart"),
        col("FELSHOEHE", 'N', 3, 0, "Felshöhe in m"), col("EXPOSIT", 'C', 2, 0, "Exposition"),
        col("BESCHATT", 'C', 1, 0, "beschattet (X)"),
        col("KLETTERN", 'C', 1, 0, "Kletternutzung (X)"),
        col("MOOSDECK", 'N', 3, 0, "Moosdeckung in %"),
        col("FLECHTDECK", 'N', 3, 0, "Flechtendeckung in %")}});
  t.push_back({"bgf2",
               "Bogentyp F, Teil 2",
               {code(), col("SPALTEN", 'C', 1, 0, "Felsspalten vorhanden (X)"),
                col("BLOCKHALDE", 'C', 1, 0, "Blockhalde (X)"),
                col("SCHUTTANT", 'N', 3, 0, "Schuttanteil in %"),
                col("ABBAU", 'C', 1, 0, "Gesteinsabbau (X)"),
                col("BEEINTR", 'C', 40, 0, "Beeinträchtigung")}});
  t.push_back({"bgg",
               "Bogentypen GN und GT (Grünland nass und trocken), Teil 1",
               {code(), col("NUTZUNG", 'C', 20, 0, "Nutzungsform"),
                col("MAHD", 'C', 1, 0, "Mahd (X)"), col("BEWEIDUNG", 'C', 1, 0, "Beweidung (X)"),
                col("DUENGUNG", 'C', 1, 0, "Düngung erkennbar (X)"),
                col("BRACHE", 'C', 1, 0, "brachgefallen (X)"),
                col("VERBUSCH", 'N', 3, 0, "Verbuschung in %"),
                col("KRAUTDECK", 'N', 3, 0, "Deckung der Krautschicht in %"),
                col("NARBE", 'C', 20, 0, "Zustand der Grasnarbe")}});
  t.push_back(
      {"bgg2",
       "Bogentypen GN und GT, Teil 2",
       {code(), col("OBERGRAS", 'N', 3, 0, "Anteil Obergräser in %"),
        col("UNTERGRAS", 'N', 3, 0, "Anteil Untergräser in %"),
        col("KRAEUTER", 'N', 3, 0, "Kräuteranteil in %"),
        col("MAGERZEIG", 'C', 1, 0, "Magerkeitszeiger (X)"),
        col("FEUCHTZEIG", 'C', 1, 0, "Feuchtezeiger (X)"),
        col("STOERZEIG", 'C', 1, 0, "Störzeiger (X)"), col("ASPEKT", 'C', 40, 0, "Aspekt")}});
  t.push_back(
      {"bgh",
       "Bogentyp H (Hecken und Gehölze), Teil 1",
       {code(), col("GEHOELZ", 'C', 20, 0, "Gehölztyp"), col("BREITE", 'N', 3, 0, "Breite in m"),
        col("LAENGE", 'N', 4, 0, "Länge in m"), col("HOEHE", 'N', 2, 0, "Höhe in m"),
        col("LUECKIG", 'C', 1, 0, "lückig (X)"), col("SAUM", 'C', 1, 0, "Krautsaum vorhanden (X)"),
        col("UEBERHAELT", 'C', 1, 0, "Überhälter (X)")}});
  t.push_back(
      {"bgh2",
       "Bogentyp H, Teil 2",
       {code(), col("DORNSTR", 'N', 3, 0, "Anteil Dornsträucher in %"),
        col("BAUMANT", 'N', 3, 0, "Baumanteil in %"), col("ALTHOLZ", 'C', 1, 0, "Altholz (X)"),
        col("PFLEGE", 'C', 40, 0, "Pflegezustand")}});
  t.push_back({"bgk",
               "Bogentyp K (Komplexbogen), Teil 1",
               {code(), col("KOMPLTYP", 'C', 40, 0, "Komplextyp"),
                col("ANZTEILE", 'N', 2, 0, "Anzahl der Teilbiotope"),
                col("HAUPTANT", 'N', 3, 0, "Anteil des Hauptbiotops in %"),
                col("NEBENANT", 'N', 3, 0, "Anteil der Nebenbiotope in %"),
                col("MOSAIK", 'C', 1, 0, "mosaikartig (X)")}});
  t.push_back({"bgk2",
               "Bogentyp K, Teil 2",
               {code(), col("VERZAHNG", 'C', 20, 0, "Verzahnung der Teilbiotope"),
                col("GRENZE", 'C', 1, 0, "scharf begrenzt (X)"),
                col("KARTIERB", 'C', 1, 0, "getrennt kartierbar (X)")}});
  t.push_back(
      {"bgm",
       "Bogentyp M (Moore und Sümpfe), Teil 1",
       {code(), col("MOORTYP", 'C', 30, 0, "Moortyp"),
        col("TORFMOOS", 'N', 3, 0, "Torfmoosdeckung in %"),
        col("WASSERST", 'C', 20, 0, "Wasserstand"), col("ENTWAESS", 'C', 1, 0, "Entwässerung (X)"),
        col("TORFABBAU", 'C', 1, 0, "Torfabbau (X)")}});
  t.push_back(
      {"bgm2",
       "Bogentyp M, Teil 2",
       {code(), col("BULTE", 'C', 1, 0, "Bulte (X)"), col("SCHLENKEN", 'C', 1, 0, "Schlenken (X)"),
        col("GEHOELZAN", 'N', 3, 0, "Gehölzanteil in %"),
        col("EUTROPH", 'C', 1, 0, "Eutrophierung (X)")}});
  t.push_back({"bgs",
               "Bogentyp S (Stillgewässer), Teil 1",
               {code(), col("GEWTYP", 'C', 20, 0, "Gewässertyp"),
                col("FLAECHEQM", 'N', 6, 0, "Wasserfläche in m²"),
                col("TIEFE", 'N', 4, 1, "größte Tiefe in m"),
                col("UFERVEG", 'C', 1, 0, "Ufervegetation (X)"),
                col("SCHWIMMBL", 'C', 1, 0, "Schwimmblattvegetation (X)"),
                col("FISCHBES", 'C', 1, 0, "Fischbesatz (X)")}});
  t.push_back({"bgs2",
               "Bogentyp S, Teil 2",
               {code(), col("SUBMERS", 'N', 3, 0, "Deckung submerser Vegetation in %"),
                col("ROEHRICHT", 'N', 3, 0, "Röhrichtanteil in %"),
                col("UFERVERB", 'C', 1, 0, "Uferverbau (X)"),
                col("NUTZUNGS", 'C', 30, 0, "Nutzung des Gewässers")}});
  t.push_back(
      {"bgt",
       "Bogentyp T (Quellen und Fließgewässer), Teil 1",
       {code(), col("GEWTYP", 'C', 20, 0, "Gewässertyp"),
        col("BREITE", 'N', 4, 1, "mittlere Breite in m"), col("STROEMUNG", 'C', 20, 0, "Strömung"),
        col("SOHLE", 'C', 20, 0, "Sohlsubstrat"), col("VERBAU", 'C', 1, 0, "Verbau (X)")}});
  t.push_back({"bgt2",
               "Bogentyp T, Teil 2",
               {code(), col("MAEANDER", 'C', 1, 0, "mäandrierend (X)"),
                col("KOLKE", 'C', 1, 0, "Kolke (X)"), col("TOTHOLZ", 'C', 1, 0, "Totholz (X)"),
                col("UFERGEH", 'N', 3, 0, "Ufergehölzanteil in %"),
                col("WASSERQ", 'C', 20, 0, "Wasserqualität")}});
  t.push_back({"bgw",
               "Bogentyp W (Wälder), Teil 1",
               {code(), col("WALDTYP", 'C', 30, 0, "Betriebsart"),
                col("ALTER", 'N', 3, 0, "Bestandsalter in Jahren"),
                col("KRONENSCH", 'N', 3, 0, "Kronenschluss in %"),
                col("BAUMHOEHE", 'N', 2, 0, "Baumhöhe in m"),
                col("TOTHOLZ", 'C', 1, 0, "stehendes Totholz (X)"),
                col("HOEHLENB", 'C', 1, 0, "Höhlenbäume (X)"),
                col("STRAUCHD", 'N', 3, 0, "Deckung der Strauchschicht in %")}});
  t.push_back({"bgw2",
               "Bogentyp W, Teil 2",
               {code(), col("ALTHOLZ", 'N', 3, 0, "Altholzanteil in %"),
                col("VERJUENG", 'C', 1, 0, "Naturverjüngung (X)"),
                col("NADELANT", 'N', 3, 0, "Nadelholzanteil in %"),
                col("WILDVERB", 'C', 1, 0, "Wildverbiss (X)"),
                col("BEWIRTSCH", 'C', 30, 0, "Bewirtschaftung")}});
  t.push_back(
      {"bgx",
       "Bogentyp X (sonstige Biotope), Teil 1",
       {code(), col("OBJEKTTYP", 'C', 30, 0, "Objekttyp"),
        col("FLAECHE", 'N', 6, 0, "Fläche in m²"), col("BESONDERH", 'C', 60, 0, "Besonderheit")}});
  t.push_back({"bgx2",
               "Bogentyp X, Teil 2",
               {code(), col("GEFAEHRD", 'C', 40, 0, "Gefährdung"),
                col("MASSNAHME", 'C', 60, 0, "vorgeschlagene Maßnahme")}});
  t.push_back({"biottyp",
               "Biotoptypen",
               {col("CODE", 'C', 5, 0, "Biotoptyp-Code"),
                col("BIOTYP", 'C', 80, 0, "Name des Biotoptyps")}});
  t.push_back({"ffhnum",
               "FFH-Gebiete",
               {col("FFHNR", 'N', 3, 0, "Gebietsnummer (erste drei Stellen des GBCODE)"),
                col("FFH_NR", 'C', 8, 0, "amtliche Gebietsnummer, z. B. 5914-301"),
                col("NAME", 'C', 80, 0, "Gebietsname")}});
  t.push_back({"ffh_ref",
               "FFH-Lebensraumtypen",
               {col("CODE_EG", 'C', 4, 0, "Code nach Anhang I der FFH-Richtlinie"),
                col("CODE_ALT", 'C', 6, 0, "älterer Code (CORINE)"),
                col("NAME", 'C', 120, 0, "Name des Lebensraumtyps")}});
  t.push_back({"GBogen",
               "Geländebögen: eine Zeile je Bogen; die Positionen der Spalten sind verbindlich",
               {code(),
                col("GBBOGEN", 'C', 2, 0, "Bogentyp (F, GN, GT, H, K, M, S, T, W, X)"),
                col("GBPOLYGON", 'C', 11, 0, "Polygonnummer (erste 11 Stellen des GBCODE)"),
                col("GBBIOTOP", 'C', 5, 0, "Hauptbiotoptyp"),
                col("GBBIOTOP2", 'C', 5, 0, "1. Nebencode"),
                col("GBBIOTOP3", 'C', 5, 0, "2. Nebencode"),
                col("GBBIOTOP4", 'C', 5, 0, "3. Nebencode"),
                col("GBBIOTOP5", 'C', 5, 0, "4. Nebencode"),
                col("GBBIOTOP6", 'C', 5, 0, "5. Nebencode"),
                col("GBTEIL", 'C', 1, 0, "Teilflächennummer (letzte Stelle des GBCODE)"),
                col("GBSTRUKT", 'C', 1, 0, "Strukturvielfalt 1-3 (Kreuz GBSTRUKT + Wert)"),
                col("GBWASSER", 'C', 1, 0, "Wasserhaushalt 1-4 (Kreuz)"),
                col("GBNAEHRST", 'C', 1, 0, "Nährstoffversorgung 1-3 (Kreuz)"),
                col("GBBODEN", 'C', 1, 0, "Bodenart 1-4 (Kreuz)"),
                col("GBRELIEF", 'C', 1, 0, "Relief 1-4 (Kreuz)"),
                col("GBLICHT", 'C', 1, 0, "Lichtverhältnisse 1-3 (Kreuz)"),
                col("GBALTER", 'C', 1, 0, "Entwicklungsstufe 1-4 (Kreuz)"),
                col("GBANTEIL", 'N', 3, 0, "Flächenanteil am Polygon in %"),
                col("GBFFH1", 'C', 4, 0, "1. FFH-Lebensraumtyp (CODE_EG)"),
                col("GBFFH2", 'C', 4, 0, "2. FFH-Lebensraumtyp (CODE_EG)"),
                col("GBEHZ", 'C', 1, 0, "Erhaltungszustand A, B, C (Kreuz)"),
                col("GBWERT", 'C', 1, 0, "Wertstufe 1-3 (Kreuz)"),
                col("GBGESETZ", 'L', 1, 0, "gesetzlich geschützter Biotop (ja/nein)"),
                col("GBLRTFL", 'L', 1, 0, "Fläche eines FFH-Lebensraumtyps (ja/nein)"),
                col("GBKARTIER", 'C', 10, 0, "Kürzel des Kartierers"),
                col("GBDATUM", 'D', 8, 0, "Datum der Erfassung"),
                col("GBLAGE", 'C', 60, 0, "Lagebeschreibung (mit Umlauten)"),
                col("GBKOPIE", 'C', 1, 0,
                    "Kopiestatus: 1 Kopiervorlage, 2 einfache Kopie, 3 Kopie von Sammelbogen, "
                    "4 Kopie von Komplexbogen, leer: keine Kopie"),
                col("GBTK25", 'C', 4, 0, "Nummer des TK25-Blattes"),
                col("GBGROESSE", 'C', 12, 0, "Größenangabe, wenn der Flächenanteil 0 ist"),
                col("GBRECHTS", 'N', 7, 0, "Rechtswert (Gauß-Krüger)"),
                col("GBHOCH", 'N', 7, 0, "Hochwert (Gauß-Krüger)"),
                col("GBHOEHE", 'N', 4, 0, "Höhe über NN in m"),
                col("GBEXPOS", 'C', 2, 0, "Exposition"),
                col("GBKOMPL1", 'C', 1, 0, "Komplexbogen: Bestandteil 1, Wert 1-4 (Kreuz)"),
                col("GBKOMPL2", 'C', 1, 0, "Komplexbogen: Bestandteil 2, Wert 1-4 (Kreuz)"),
                col("GBKOMPL3", 'C', 1, 0, "Komplexbogen: Bestandteil 3, Wert 1-4 (Kreuz)"),
                col("GBNUTZ", 'C', 2, 0, "Nutzungscode"),
                col("GBPFLEGE", 'C', 1, 0, "Pflegebedarf (X)"),
                col("GBGEFAEHR", 'C', 1, 0, "akut gefährdet (X)"),
                col("GBKOPVON", 'C', 12, 0, "Nummer des Bogens, von dem kopiert wurde"),
                col("GBNATRAUM", 'C', 3, 0, "Naturraum-Nummer"),
                col("GBKREIS", 'C', 3, 0, "Kreisschlüssel"),
                col("GBGEMEINDE", 'C', 30, 0, "Gemeinde"),
                col("GBEIGENT", 'C', 1, 0, "Eigentum: S Staat, K Kommune, P privat"),
                col("GBSTATUS", 'C', 1, 0, "Bearbeitungsstand: E erfasst, G geprüft"),
                col("GBBEEIN1", 'C', 4, 0, "1. Beeinträchtigung (B + dreistelliger Code)"),
                col("GBBEEIN2", 'C', 4, 0, "2. Beeinträchtigung"),
                col("GBBEEIN3", 'C', 4, 0, "3. Beeinträchtigung"),
                col("GBBEEIN4", 'C', 4, 0, "4. Beeinträchtigung"),
                col("GBVAR1", 'N', 1, 0, "Variante 1 (1 = ja)"),
                col("GBVAR2", 'N', 1, 0, "Variante 2 (1 = ja)"),
                col("GBVAR3", 'N', 1, 0, "Variante 3 (1 = ja)"),
                col("GBVAR4", 'N', 1, 0, "Variante 4 (1 = ja)"),
                col("GBVAR5", 'N', 1, 0, "Variante 5 (1 = ja, Kreuz GBVAR5)")}});
  t.push_back({"pflanzen",
               "Pflanzenarten",
               {col("SATZNUMMER", 'C', 7, 0,
                    "Satznummer: S Samenpflanze, L Flechte, B Moos, dann sechs Ziffern"),
                col("GATTUNG", 'C', 30, 0, "Gattung"), col("ART", 'C', 30, 0, "Art"),
                col("KURZNAME", 'C', 40, 0, "deutscher Name"),
                col("SCHICHT", 'C', 1, 0, "Schicht: B Baum, S Strauch, K Kraut")}});
  t.push_back({"pflsozio",
               "Pflanzensoziologische Einheiten (Katalog)",
               {col("CODE", 'C', 6, 0, "Code der Einheit"),
                col("NAME", 'C', 80, 0, "wissenschaftlicher und deutscher Name")}});
  t.push_back({"pfsozbew",
               "Pflanzensoziologische Einheiten eines Bogens",
               {col("GELBOGENNR", 'C', 12, 0, "Bogennummer (GBCODE)"),
                col("PFSOZ", 'C', 80, 0, "Name der Einheit"),
                col("PFSOZCODE", 'C', 6, 0, "Code der Einheit in pflsozio"),
                col("ANTEIL", 'N', 3, 0, "Anteil in %")}});
  t.push_back({"polygone",
               "Polygone",
               {col("POLPOLYGON", 'C', 11, 0, "Polygonnummer"),
                col("POLNAME", 'C', 60, 0, "Name des Polygons"),
                col("POLTEILE", 'N', 1, 0, "Anzahl der Teilflächen")}});
  return t;
}

}  // namespace

std::vector<dbf::FieldDescriptor> TableSchema::fields() const {
  std::vector<dbf::FieldDescriptor> out;
  for (const auto& c : columns) out.push_back(c.field);
  return out;
}

int TableSchema::position(std::string_view column) const {
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (columns[i].field.name == column) return static_cast<int>(i);
  return -1;
}

const std::vector<TableSchema>& surveySchema() {
  static const std::vector<TableSchema> schema = buildSchema();
  return schema;
}

const TableSchema& surveyTable(std::string_view name) {
  if (const int index = catalogueIndex(name); index > 0)
    return surveySchema()[static_cast<std::size_t>(index - 1)];
  throw std::out_of_range("no survey table " + std::string(name));
}

const std::string& catalogueName(int index) {
  if (index < 1 || index > kTableCount)
    throw std::out_of_range("Tabellenindex außerhalb des Katalogs: " + std::to_string(index));
  return surveySchema()[static_cast<std::size_t>(index - 1)].name;
}

int catalogueIndex(std::string_view name) {
  const auto& tables = surveySchema();
  for (std::size_t i = 0; i < tables.size(); ++i)
    if (base::equalsNoCase(tables[i].name, name)) return static_cast<int>(i) + 1;
  return 0;
}

std::vector<std::string> crossValues(const ColumnSchema& column) {
  static const std::regex kRange(R"((^|[^0-9A-Za-z])([0-9])-([0-9])([^0-9A-Za-z]|$))");
  static const std::regex kList(R"((^|[^A-Za-z])([A-Z](, [A-Z])+)([^A-Za-z]|$))");
  std::smatch m;
  std::vector<std::string> values;
  if (std::regex_search(column.meaning, m, kRange)) {
    const char first = m[2].str()[0];
    const char last = m[3].str()[0];
    for (char c = first; c <= last; ++c) values.emplace_back(1, c);
  } else if (std::regex_search(column.meaning, m, kList)) {
    const std::string list = m[2].str();
    for (std::size_t i = 0; i < list.size(); i += 3) values.emplace_back(1, list[i]);
  }
  if (values.empty())
    throw std::invalid_argument("the description of column " + column.field.name + " (\"" +
                                column.meaning + "\") names no values for its crosses");
  return values;
}

}  // namespace data::schema
