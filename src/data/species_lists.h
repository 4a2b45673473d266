#pragma once
// The plant species of one sheet as the five texts of the sheet's footer: tree species, other
// plants, lichens, mosses and the red-list species with their ratings.

#include <string>
#include <vector>

#include "data/cls_pflanzenart.h"
#include "data/recordset.h"

namespace data {

// The assessment join of one sheet, whose code is the one parameter; its columns are read by
// position.
std::string speciesQuery();

struct SpeciesLists {
  std::vector<clsPflanzenart> species;  // sorted by name
  std::vector<std::string> redList;     // sorted lines "genus species RL, ratings..."
  std::vector<clsPflanzenart> group(int32_t pflanzentyp) const;
};

// Builds the records and red-list lines from the rows of speciesQuery(), then sorts both.
SpeciesLists buildSpeciesLists(Recordset& rows);

// "keine" for an empty list, else the Bogentext lines joined by line feeds; always ends with a
// line feed.
std::string listText(const std::vector<clsPflanzenart>& species);
// "keine" for no line, else the lines joined by line feeds without one at the end.
std::string redListText(const std::vector<std::string>& lines);

// Stable insertion sort on the lower-cased key, as the species lists are ordered.
void sortSpecies(std::vector<clsPflanzenart>& list);
void sortTexts(std::vector<std::string>& list);

// The text in lower case, umlauts and other Latin-1 capitals included.
std::string lowerCase(const std::string& text);

}  // namespace data
