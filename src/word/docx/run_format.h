#pragma once
// Character formatting the engine applies to runs: bold, font name and size in points. Unset
// fields leave the run's own formatting alone.

#include <optional>
#include <pugixml.hpp>
#include <string>

namespace docx {

struct RunFormat {
  std::optional<bool> bold;
  std::optional<std::string> fontName;
  std::optional<double> sizePt;

  bool empty() const { return !bold && !fontName && !sizePt; }
};

// Throws kInvalidArgument for a size outside 1..1638 points or an empty font name.
void validate(const RunFormat& format);

// Writes the format into the run properties `rPr` (w:rPr or a paragraph mark's w:rPr), keeping
// the schema order of its children.
void applyFormat(pugi::xml_node rPr, const RunFormat& format);

// The run properties of `run`, created in place when missing.
pugi::xml_node runProperties(pugi::xml_node run);

// Format read from run properties: bold flag, ASCII font name, size in points when present.
RunFormat readFormat(pugi::xml_node rPr);

// Sets the language tag (e.g. "de-DE") in run properties.
void setLanguage(pugi::xml_node rPr, const char* tag);

}  // namespace docx
