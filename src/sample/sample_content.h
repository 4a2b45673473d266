#pragma once
// The fixed catalogue content of the sample survey database: biotope types, habitat types,
// plant species, plant-sociology units, place names and what belongs to each sheet type.

#include <string>
#include <vector>

namespace sample {

struct BiotopeType {
  const char* code;
  const char* name;
};

struct HabitatType {
  const char* codeEg;
  const char* codeAlt;
  const char* name;
};

struct PlantSpecies {
  char group;  // 'S' seed plant, 'L' lichen, 'B' moss (first letter of SATZNUMMER)
  const char* genus;
  const char* species;
  const char* germanName;
  char layer;              // 'B' tree, 'S' shrub, 'K' herb; ' ' for lichens and mosses
  const char* redList;     // national red-list status, "" when not threatened
  const char* sheetTypes;  // the sheet types it is recorded on, blank-separated
};

struct SociologyUnit {
  const char* code;
  const char* name;
  const char* sheetTypes;
};

// What a sheet of one type is made of: its biotope and habitat types and words for names.
struct SheetTypeContent {
  const char* type;
  std::vector<const char*> biotopes;   // codes of biotopeTypes()
  std::vector<const char*> habitats;   // codes of habitatTypes(); may be empty
  std::vector<const char*> nameWords;  // for polygon names
};

const std::vector<BiotopeType>& biotopeTypes();
const std::vector<HabitatType>& habitatTypes();
const std::vector<PlantSpecies>& plantSpecies();
const std::vector<SociologyUnit>& sociologyUnits();
// The ten sheet types in the order F, GN, GT, H, K, M, S, T, W, X.
const std::vector<SheetTypeContent>& sheetTypes();
const std::vector<const char*>& placeNames();
const std::vector<const char*>& landscapeWords();
const std::vector<const char*>& remarkSentences();
// Choice lists for the text columns of the sheet-type tables, by column name; empty when the
// column has none.
const std::vector<const char*>& columnChoices(const std::string& column);

}  // namespace sample
