#pragma once
// The biotope-type and habitat-type filters of the output window without any widget: the
// look-ups in "biottyp" and "ffh_ref", the available list a search field narrows, the chosen
// list the buttons fill, and the set a run is restricted to.
// The look-ups show their own message box and log line when the type table is damaged.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "data/cls_dbf_data.h"
#include "data/ordered_dict.h"

namespace gui {

// Type code → long text (umlauts corrected), in query order. 101 when the query failed or a
// row is damaged (null code or text, repeated code); types then holds the rows read so far.
int16_t FfhGetBiotoptyp(const std::string& pattern, data::clsDBFData& db,
                        data::OrderedDict<std::string>& types);
int16_t FfhGetLebensraum(const std::string& pattern, data::clsDBFData& db,
                         data::OrderedDict<std::string>& types);

class TypeFilter {
 public:
  enum class Kind { Biotope, Habitat };

  explicit TypeFilter(Kind kind) : kind_(kind) {}

  // Runs the look-up for what the user typed: upper case, then "%" (every code starting so).
  // On 100 the available list is replaced; on 101 it is left as it was. Chosen types stay.
  int16_t search(data::clsDBFData& db, const std::string& typed);

  const data::OrderedDict<std::string>& available() const { return available_; }
  // Chosen code → long text, sorted by code.
  const std::map<std::string, std::string>& chosen() const { return chosen_; }

  // ">": adds the available rows with these codes that are not chosen yet.
  void choose(const std::vector<std::string>& codes);
  // ">>": adds every available row.
  void chooseAll();
  // "Entfernen": drops these codes from the chosen list.
  void remove(const std::vector<std::string>& codes);
  // "Alle entfernen".
  void removeAll() { chosen_.clear(); }

  // The codes a run is restricted to: every available code when the "all" box is ticked (the
  // query then ignores them), else the chosen codes.
  data::TextSet restriction(bool all) const;

 private:
  Kind kind_;
  data::OrderedDict<std::string> available_;
  std::map<std::string, std::string> chosen_;
};

}  // namespace gui
