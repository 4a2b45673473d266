#pragma once
// One plant species as recorded on one survey sheet: its name, group, layer amounts and the
// line printed for it.

#include <cstdint>
#include <string>

namespace data {

struct clsPflanzenart {
  std::string Pflanzentext;  // genus + " " + species
  int32_t Pflanzentyp = 0;   // 1 tree species, 2 other plants, 3 lichens, 4 mosses, 0 none
  bool IstRoteListeArt = false;
  bool IstBaumart = false;
  std::string Bogentext;  // layer text + " " + Pflanzentext
  std::string Kurzname;
  std::string WertStrauchschicht;
  std::string WertKrautschicht;
  std::string WertB1Schicht;
  std::string WertB2Schicht;
  std::string WertRoteListeA;  // part of the record; nothing fills them yet
  std::string WertRoteListeB;
  std::string WertRoteListeC;
};

}  // namespace data
