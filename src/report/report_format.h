#pragma once
// The text forms the report writes that no library call gives: codes grouped the way the
// desktop's Format function groups them, and the polygon's area in hectares. Pure functions;
// they never throw.

#include <string>

#include "data/value.h"

namespace report {

// A number format of "#" placeholders and literal characters ("### ### #### ##") applied to a
// text of digits: the text's numeric value fills the placeholders from the right, so leading
// zeros disappear, and digits left over go in front. A text that is not all digits comes back
// unchanged.
std::string formatNumberGroups(const std::string& digits, const std::string& format);

// A text format of "&" placeholders and literal characters ("&&& &&& &&&&&"): the characters
// fill the placeholders from the right; characters left over go in front, placeholders left
// empty give nothing. Counts characters, not bytes.
std::string formatTextGroups(const std::string& text, const std::string& format);

// AREA in square metres as the cover sheet shows it in hectares: divided by 10000, rounded to
// two decimals, as a single-precision number in German notation (no trailing zeros; the
// decimal separator of a German locale, else the comma). Null or no number gives "0".
std::string hectareText(const data::Value& area);

// Text without its first character (UTF-8 aware); "" for a text of one character or none.
std::string withoutFirstCharacter(const std::string& text);

}  // namespace report
