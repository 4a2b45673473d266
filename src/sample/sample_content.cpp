#include "sample/sample_content.h"

#include <map>

namespace sample {

const std::vector<BiotopeType>& biotopeTypes() {
  static const std::vector<BiotopeType> types{
      {"01110", "Buchenwälder mittlerer und basenreicher Standorte"},
      {"01120", "Bodensaure Buchenwälder"},
      {"01130", "Eichen-Hainbuchenwälder"},
      {"01150", "Eichenwälder trockenwarmer Standorte"},
      {"01160", "Schlucht- und Hangschuttwälder"},
      {"01173", "Bachauenwälder"},
      {"01174", "Bruch- und Sumpfwälder"},
      {"01181", "Laubbaumbestände aus überwiegend einheimischen Arten"},
      {"01220", "Sonstige Nadelwälder"},
      {"02100", "Gehölze trockener bis frischer Standorte"},
      {"02200", "Gehölze feuchter bis nasser Standorte"},
      {"02300", "Wacholderheiden und Gebüsche auf Kalk"},
      {"02500", "Baumreihen und Alleen"},
      {"04110", "Quellen und Quellfluren"},
      {"04211", "Kleine bis mittlere Mittelgebirgsbäche"},
      {"04212", "Große Mittelgebirgsbäche"},
      {"04420", "Teiche"},
      {"04440", "Temporäre Gewässer und Tümpel"},
      {"05110", "Röhrichte"},
      {"05130", "Großseggenriede"},
      {"05140", "Übergangs- und Schwingrasenmoore"},
      {"05150", "Kleinseggensümpfe saurer Standorte"},
      {"06110", "Grünland frischer Standorte, extensiv genutzt"},
      {"06120", "Grünland frischer Standorte, intensiv genutzt"},
      {"06210", "Grünland feuchter bis nasser Standorte"},
      {"06300", "Feuchte Hochstaudenfluren"},
      {"06520", "Magerrasen saurer Standorte"},
      {"06530", "Magerrasen basenreicher Standorte"},
      {"06540", "Borstgrasrasen"},
      {"06550", "Zwergstrauchheiden"},
      {"09200", "Ausdauernde Ruderalfluren frischer Standorte"},
      {"09300", "Wärmeliebende Säume"},
      {"10100", "Felsfluren"},
      {"10200", "Block- und Schutthalden"},
      {"10400", "Steinbrüche und Abbauwände"},
      {"11140", "Streuobstwiesen"},
      {"99041", "Biotopkomplexe aus Grünland und Gehölzen"},
      {"99042", "Biotopkomplexe aus Quellen, Bächen und Auenwäldern"},
  };
  return types;
}

const std::vector<HabitatType>& habitatTypes() {
  static const std::vector<HabitatType> types{
      {"3150", "22.13",
       "Natürliche eutrophe Seen mit einer Vegetation des Magnopotamions oder Hydrocharitions"},
      {"3260", "24.4",
       "Flüsse der planaren bis montanen Stufe mit Vegetation des Ranunculion fluitantis und "
       "des Callitricho-Batrachion"},
      {"4030", "31.2", "Trockene europäische Heiden"},
      {"5130", "31.88", "Formationen von Juniperus communis auf Kalkheiden und -rasen"},
      {"6110", "34.11", "Lückige basophile oder Kalk-Pionierrasen (Alysso-Sedion albi)"},
      {"6210", "34.31",
       "Naturnahe Kalk-Trockenrasen und deren Verbuschungsstadien (Festuco-Brometalia)"},
      {"6230", "35.1", "Artenreiche montane Borstgrasrasen auf Silikatböden"},
      {"6410", "37.31",
       "Pfeifengraswiesen auf kalkreichem Boden, torfigen und tonig-schluffigen Böden"},
      {"6430", "37.7", "Feuchte Hochstaudenfluren der planaren und montanen bis alpinen Stufe"},
      {"6510", "38.2",
       "Magere Flachland-Mähwiesen (Alopecurus pratensis, Sanguisorba officinalis)"},
      {"6520", "38.3", "Berg-Mähwiesen"},
      {"7140", "54.5", "Übergangs- und Schwingrasenmoore"},
      {"7220", "54.12", "Kalktuffquellen (Cratoneurion)"},
      {"8150", "61.1", "Kieselhaltige Schutthalden der Berglagen Mitteleuropas"},
      {"8220", "62.2", "Silikatfelsen mit Felsspaltenvegetation"},
      {"9110", "41.11", "Hainsimsen-Buchenwald (Luzulo-Fagetum)"},
      {"9130", "41.13", "Waldmeister-Buchenwald (Asperulo-Fagetum)"},
      {"9160", "41.24",
       "Subatlantischer oder mitteleuropäischer Stieleichenwald oder Eichen-Hainbuchenwald"},
      {"9170", "41.26", "Labkraut-Eichen-Hainbuchenwald (Galio-Carpinetum)"},
      {"9180", "41.4", "Schlucht- und Hangmischwälder (Tilio-Acerion)"},
      {"91E0", "44.3",
       "Auenwälder mit Alnus glutinosa und Fraxinus excelsior (Alno-Padion, Alnion incanae)"},
  };
  return types;
}

const std::vector<PlantSpecies>& plantSpecies() {
  static const std::vector<PlantSpecies> plants{
      // Trees.
      {'S', "Fagus", "sylvatica", "Rot-Buche", 'B', "", "W K"},
      {'S', "Quercus", "robur", "Stiel-Eiche", 'B', "", "W H K"},
      {'S', "Quercus", "petraea", "Trauben-Eiche", 'B', "", "W F"},
      {'S', "Carpinus", "betulus", "Hainbuche", 'B', "", "W H"},
      {'S', "Fraxinus", "excelsior", "Gewöhnliche Esche", 'B', "", "W T K"},
      {'S', "Acer", "pseudoplatanus", "Berg-Ahorn", 'B', "", "W T F"},
      {'S', "Alnus", "glutinosa", "Schwarz-Erle", 'B', "", "T W M K"},
      {'S', "Betula", "pendula", "Hänge-Birke", 'B', "", "H M X"},
      {'S', "Tilia", "cordata", "Winter-Linde", 'B', "", "W F"},
      {'S', "Sorbus", "aucuparia", "Eberesche", 'B', "", "W H F"},
      {'S', "Picea", "abies", "Gewöhnliche Fichte", 'B', "", "W"},
      {'S', "Ulmus", "glabra", "Berg-Ulme", 'B', "3", "W T"},
      {'S', "Malus", "domestica", "Kultur-Apfel", 'B', "", "X"},
      // Shrubs.
      {'S', "Corylus", "avellana", "Gewöhnliche Hasel", 'S', "", "H W K"},
      {'S', "Crataegus", "monogyna", "Eingriffeliger Weißdorn", 'S', "", "H X GT"},
      {'S', "Prunus", "spinosa", "Schlehe", 'S', "", "H GT K"},
      {'S', "Sambucus", "nigra", "Schwarzer Holunder", 'S', "", "H X W"},
      {'S', "Rosa", "canina", "Hunds-Rose", 'S', "", "H GT X"},
      {'S', "Cornus", "sanguinea", "Roter Hartriegel", 'S', "", "H W"},
      {'S', "Salix", "cinerea", "Grau-Weide", 'S', "", "M S GN"},
      {'S', "Juniperus", "communis", "Gewöhnlicher Wacholder", 'S', "3", "GT H"},
      // Herbs, grasses and ferns.
      {'S', "Anemone", "nemorosa", "Busch-Windröschen", 'K', "", "W K"},
      {'S', "Galium", "odoratum", "Waldmeister", 'K', "", "W"},
      {'S', "Allium", "ursinum", "Bär-Lauch", 'K', "", "W T"},
      {'S', "Mercurialis", "perennis", "Wald-Bingelkraut", 'K', "", "W"},
      {'S', "Luzula", "luzuloides", "Weiße Hainsimse", 'K', "", "W"},
      {'S', "Deschampsia", "flexuosa", "Draht-Schmiele", 'K', "", "W F"},
      {'S', "Arrhenatherum", "elatius", "Glatthafer", 'K', "", "GT X"},
      {'S', "Trifolium", "pratense", "Rot-Klee", 'K', "", "GT GN"},
      {'S', "Knautia", "arvensis", "Acker-Witwenblume", 'K', "", "GT"},
      {'S', "Centaurea", "jacea", "Wiesen-Flockenblume", 'K', "", "GT GN"},
      {'S', "Sanguisorba", "officinalis", "Großer Wiesenknopf", 'K', "V", "GN K"},
      {'S', "Filipendula", "ulmaria", "Echtes Mädesüß", 'K', "", "GN T M"},
      {'S', "Caltha", "palustris", "Sumpf-Dotterblume", 'K', "V", "GN T"},
      {'S', "Bromus", "erectus", "Aufrechte Trespe", 'K', "", "GT"},
      {'S', "Briza", "media", "Gewöhnliches Zittergras", 'K', "V", "GT"},
      {'S', "Primula", "veris", "Echte Schlüsselblume", 'K', "V", "GT H"},
      {'S', "Thymus", "pulegioides", "Arznei-Thymian", 'K', "", "GT F"},
      {'S', "Nardus", "stricta", "Borstgras", 'K', "V", "GT"},
      {'S', "Arnica", "montana", "Arnika", 'K', "3", "GT"},
      {'S', "Dactylorhiza", "majalis", "Breitblättriges Knabenkraut", 'K', "3", "GN M"},
      {'S', "Orchis", "mascula", "Stattliches Knabenkraut", 'K', "V", "GT W"},
      {'S', "Carex", "acutiformis", "Sumpf-Segge", 'K', "", "GN S M"},
      {'S', "Phragmites", "australis", "Schilf", 'K', "", "S GN"},
      {'S', "Lychnis", "flos-cuculi", "Kuckucks-Lichtnelke", 'K', "", "GN"},
      {'S', "Cirsium", "oleraceum", "Kohl-Kratzdistel", 'K', "", "GN T"},
      {'S', "Bistorta", "officinalis", "Schlangen-Wiesenknöterich", 'K', "", "GN"},
      {'S', "Galium", "verum", "Echtes Labkraut", 'K', "", "GT"},
      {'S', "Leucanthemum", "vulgare", "Wiesen-Margerite", 'K', "", "GT X"},
      {'S', "Succisa", "pratensis", "Gewöhnlicher Teufelsabbiss", 'K', "V", "GN GT"},
      {'S', "Gentiana", "pneumonanthe", "Lungen-Enzian", 'K', "2", "GN"},
      {'S', "Pulsatilla", "vulgaris", "Gewöhnliche Küchenschelle", 'K', "3", "GT F"},
      {'S', "Asplenium", "trichomanes", "Braunstieliger Streifenfarn", 'K', "", "F"},
      {'S', "Sedum", "album", "Weiße Fetthenne", 'K', "", "F X"},
      {'S', "Menyanthes", "trifoliata", "Fieberklee", 'K', "3", "M S"},
      {'S', "Drosera", "rotundifolia", "Rundblättriger Sonnentau", 'K', "3", "M"},
      {'S', "Eriophorum", "angustifolium", "Schmalblättriges Wollgras", 'K', "V", "M"},
      {'S', "Vaccinium", "myrtillus", "Heidelbeere", 'K', "", "W M"},
      {'S', "Calluna", "vulgaris", "Besenheide", 'K', "", "GT M F"},
      {'S', "Nymphaea", "alba", "Weiße Seerose", 'K', "", "S"},
      {'S', "Lemna", "minor", "Kleine Wasserlinse", 'K', "", "S"},
      {'S', "Chrysosplenium", "oppositifolium", "Gegenblättriges Milzkraut", 'K', "", "T"},
      {'S', "Cardamine", "amara", "Bitteres Schaumkraut", 'K', "", "T"},
      {'S', "Urtica", "dioica", "Große Brennnessel", 'K', "", "X T"},
      {'S', "Aegopodium", "podagraria", "Giersch", 'K', "", "X H"},
      // Mosses.
      {'B', "Hylocomium", "splendens", "Etagenmoos", ' ', "", "W F"},
      {'B', "Pleurozium", "schreberi", "Rotstängelmoos", ' ', "", "W M"},
      {'B', "Polytrichum", "commune", "Goldenes Frauenhaarmoos", ' ', "", "M W"},
      {'B', "Sphagnum", "palustre", "Sumpf-Torfmoos", ' ', "V", "M"},
      {'B', "Dicranum", "scoparium", "Besen-Gabelzahnmoos", ' ', "", "W F"},
      {'B', "Rhytidiadelphus", "squarrosus", "Sparriger Runzelbruder", ' ', "", "GT GN"},
      {'B', "Hypnum", "cupressiforme", "Zypressen-Schlafmoos", ' ', "", "F W"},
      {'B', "Leucobryum", "glaucum", "Weißmoos", ' ', "V", "W"},
      {'B', "Palustriella", "commutata", "Veränderliches Starknervmoos", ' ', "3", "T"},
      // Lichens.
      {'L', "Cladonia", "rangiferina", "Echte Rentierflechte", ' ', "2", "F M"},
      {'L', "Cladonia", "arbuscula", "Wald-Rentierflechte", ' ', "3", "F GT"},
      {'L', "Parmelia", "sulcata", "Furchen-Schüsselflechte", ' ', "", "W H"},
      {'L', "Hypogymnia", "physodes", "Blasenflechte", ' ', "", "W H"},
      {'L', "Xanthoria", "parietina", "Gelbe Wandflechte", ' ', "", "X H"},
      {'L', "Evernia", "prunastri", "Pflaumenflechte", ' ', "", "H W"},
      {'L', "Peltigera", "canina", "Hunds-Schildflechte", ' ', "3", "F GT"},
  };
  return plants;
}

const std::vector<SociologyUnit>& sociologyUnits() {
  static const std::vector<SociologyUnit> units{
      {"PS0101", "Arrhenatheretum elatioris (Glatthafer-Wiese)", "GT X"},
      {"PS0102", "Geranio-Trisetetum (Goldhafer-Wiese)", "GT"},
      {"PS0103", "Gentiano-Koelerietum (Enzian-Schillergras-Rasen)", "GT"},
      {"PS0104", "Polygalo-Nardetum (Kreuzblümchen-Borstgras-Rasen)", "GT"},
      {"PS0201", "Angelico-Cirsietum oleracei (Kohldistel-Wiese)", "GN"},
      {"PS0202", "Caricetum acutiformis (Sumpfseggen-Ried)", "GN M S"},
      {"PS0203", "Filipendulion ulmariae (Mädesüß-Hochstaudenflur)", "GN T"},
      {"PS0301", "Galio odorati-Fagetum (Waldmeister-Buchenwald)", "W K"},
      {"PS0302", "Luzulo-Fagetum (Hainsimsen-Buchenwald)", "W"},
      {"PS0303", "Stellario-Carpinetum (Sternmieren-Eichen-Hainbuchenwald)", "W"},
      {"PS0304", "Carici remotae-Fraxinetum (Winkelseggen-Erlen-Eschenwald)", "T W K"},
      {"PS0401", "Pruno-Ligustretum (Schlehen-Liguster-Gebüsch)", "H"},
      {"PS0402", "Carpino-Prunetum (Hainbuchen-Schlehen-Gebüsch)", "H"},
      {"PS0501", "Rhynchosporion albae (Schnabelried-Gesellschaften)", "M"},
      {"PS0502", "Caricetum fuscae (Braunseggen-Sumpf)", "M"},
      {"PS0601", "Lemnetum minoris (Wasserlinsen-Decke)", "S"},
      {"PS0602", "Nymphaeetum albae (Seerosen-Gesellschaft)", "S"},
      {"PS0701", "Asplenietum trichomano-rutae-murariae (Mauerrauten-Gesellschaft)", "F"},
      {"PS0702", "Festuco-Sedetum (Schafschwingel-Mauerpfeffer-Flur)", "F"},
      {"PS0801", "Cratoneuretum filicino-commutati (Starknervmoos-Quellflur)", "T"},
      {"PS0901", "Urtico-Aegopodietum (Brennnessel-Giersch-Saum)", "X H"},
  };
  return units;
}

const std::vector<SheetTypeContent>& sheetTypes() {
  static const std::vector<SheetTypeContent> types{
      {"F",
       {"10100", "10200", "10400"},
       {"8220", "8150", "6110"},
       {"Felsen", "Blockhalde", "Felsklippen", "Schutthalde"}},
      {"GN",
       {"06210", "05130", "05110", "06300"},
       {"6410", "6430"},
       {"Feuchtwiese", "Nasswiese", "Seggenried", "Hochstaudenflur"}},
      {"GT",
       {"06110", "06520", "06530", "06540", "06550"},
       {"6510", "6520", "6210", "6230", "4030"},
       {"Magerrasen", "Glatthaferwiese", "Borstgrasrasen", "Bergwiese", "Halbtrockenrasen"}},
      {"H",
       {"02100", "02200", "02300", "02500"},
       {"5130"},
       {"Hecke", "Feldgehölz", "Gebüsch", "Baumreihe"}},
      {"K", {"99041", "99042"}, {"6510", "91E0", "9130"}, {"Biotopkomplex", "Komplex", "Mosaik"}},
      {"M", {"05140", "05150"}, {"7140"}, {"Übergangsmoor", "Moor", "Kleinseggensumpf"}},
      {"S", {"04420", "04440"}, {"3150"}, {"Teich", "Weiher", "Tümpel"}},
      {"T",
       {"04110", "04211", "04212", "01173"},
       {"3260", "7220", "91E0"},
       {"Quellbach", "Quellflur", "Bachlauf", "Bachaue"}},
      {"W",
       {"01110", "01120", "01130", "01150", "01160", "01174", "01181", "01220"},
       {"9110", "9130", "9160", "9170", "9180"},
       {"Buchenwald", "Eichenwald", "Hangwald", "Bruchwald", "Laubwald"}},
      {"X", {"09200", "09300", "11140"}, {}, {"Ruderalflur", "Streuobstwiese", "Saum", "Hohlweg"}},
  };
  return types;
}

const std::vector<const char*>& placeNames() {
  static const std::vector<const char*> places{
      "Hünfeld",   "Großenlüder", "Schlüchtern", "Mühlbach",      "Kühkopf",   "Hörselberg",
      "Fürstenau", "Dörnberg",    "Bärenbach",   "Wüstensachsen", "Rößberg",   "Sülzbach",
      "Lösershag", "Bühl",        "Eichenzell",  "Weißenborn",    "Schönbach", "Grünberg",
      "Kälberau",  "Tränkhof",    "Gersfeld",    "Poppenhausen",  "Tann",      "Hilders",
      "Ehrenberg", "Künzell",     "Flieden",     "Neuhof",        "Steinau",   "Bad Soden",
      "Schlitz",   "Lauterbach",  "Herbstein",   "Ulrichstein",   "Schotten",
  };
  return places;
}

const std::vector<const char*>& landscapeWords() {
  static const std::vector<const char*> words{
      "Kalkmagerrasen", "Buchenwälder", "Wiesen und Wälder", "Talauen",
      "Hochrhön",       "Basaltkuppen", "Moore und Heiden",  "Quellgebiete",
      "Bachtäler",      "Hutungen",     "Feuchtgebiete",     "Felsen und Schluchten",
  };
  return words;
}

const std::vector<const char*>& remarkSentences() {
  static const std::vector<const char*> sentences{
      "Fläche bei der Begehung frisch gemäht.",
      "Östlicher Teil stark verbuscht, Entbuschung dringend nötig.",
      "Im Süden Übergang zu intensiv genutztem Grünland.",
      "Vorkommen des Großen Wiesenknopfs mit Ameisenbläulingen.",
      "Müllablagerungen am Wegrand, Gemeinde benachrichtigt.",
      "Quellbereich durch Viehtritt gestört.",
      "Zahlreiche Höhlenbäume mit Spechtlöchern.",
      "Grenze zum Nachbarpolygon im Gelände schwer erkennbar.",
      "Aufnahme wegen Überflutung nur teilweise möglich.",
      "Bestand wurde früher als Hutung genutzt; Wacholder als Zeugen.",
      "Fläche gehört zum Pflegeplan des Naturschutzgroßprojekts.",
      "Beweidung mit Schafen im Spätsommer, Weißdorn verbissen.",
  };
  return sentences;
}

const std::vector<const char*>& columnChoices(const std::string& column) {
  static const std::map<std::string, std::vector<const char*>> choices{
      {"GESTEIN", {"Basalt", "Buntsandstein", "Muschelkalk", "Grauwacke", "Diabas", "Tonschiefer"}},
      {"EXPOSIT", {"N", "NO", "O", "SO", "S", "SW", "W", "NW"}},
      {"BEEINTR",
       {"Trittschäden", "Verbuschung", "Gesteinsabbau", "Müllablagerung", "keine erkennbar"}},
      {"NUTZUNG", {"Mähwiese", "Mähweide", "Standweide", "Brache", "Hutung"}},
      {"NARBE", {"geschlossen", "lückig", "offen"}},
      {"ASPEKT",
       {"blütenreich, bunt", "grasreich, blütenarm", "Hochstaudenaspekt", "Seggenaspekt"}},
      {"GEHOELZ", {"Hecke", "Feldgehölz", "Gebüsch", "Baumreihe", "Ufergehölz"}},
      {"PFLEGE",
       {"auf den Stock gesetzt", "nicht erkennbar", "seitlich beschnitten", "durchgewachsen"}},
      {"KOMPLTYP",
       {"Grünland-Gehölz-Komplex", "Quellbach-Komplex", "Fels-Wald-Komplex",
        "Moor-Gewässer-Komplex"}},
      {"VERZAHNG", {"eng verzahnt", "locker verzahnt", "zoniert"}},
      {"MOORTYP", {"Übergangsmoor", "Niedermoor", "Quellmoor", "Zwischenmoor"}},
      {"WASSERST", {"hoch", "mittel", "niedrig", "schwankend"}},
      {"GEWTYP",
       {"Teich", "Weiher", "Tümpel", "Sickerquelle", "Sturzquelle", "Quellbach",
        "Mittelgebirgsbach"}},
      {"NUTZUNGS", {"Fischteich", "Angelgewässer", "ungenutzt", "Viehtränke"}},
      {"STROEMUNG", {"rasch", "mäßig", "träge"}},
      {"SOHLE", {"Kies", "Schotter", "Sand", "Schlamm", "Fels"}},
      {"WASSERQ", {"unbelastet", "gering belastet", "mäßig belastet"}},
      {"WALDTYP", {"Hochwald", "Mittelwald", "Niederwald", "Plenterwald"}},
      {"BEWIRTSCH",
       {"naturnah bewirtschaftet", "Nutzung ruht", "Einzelstammentnahme", "Femelhieb"}},
      {"OBJEKTTYP", {"Ruderalflur", "Streuobstwiese", "Steinbruch", "Hohlweg", "Lesesteinhaufen"}},
      {"BESONDERH",
       {"Vorkommen seltener Arten", "Fledermausquartier", "Nistplatz des Neuntöters",
        "kulturhistorisch bedeutsam"}},
      {"GEFAEHRD", {"Verbuschung", "Nutzungsaufgabe", "Bebauung", "Freizeitdruck"}},
      {"MASSNAHME",
       {"Entbuschung", "extensive Beweidung", "Mahd alle zwei Jahre",
        "keine Maßnahme erforderlich"}},
  };
  static const std::vector<const char*> none;
  const auto it = choices.find(column);
  return it == choices.end() ? none : it->second;
}

}  // namespace sample
