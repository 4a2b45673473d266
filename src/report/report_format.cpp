#include "report/report_format.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace report {
namespace {

bool allDigits(const std::string& text) {
  if (text.empty()) return false;
  for (unsigned char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The characters of a UTF-8 text, each as its own byte sequence.
std::vector<std::string> characters(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80 && !out.empty())
      out.back() += text[i];
    else
      out.emplace_back(1, text[i]);
  }
  return out;
}

// Fills the placeholder characters of format from the right with the items, keeping literals.
std::string fillFromRight(const std::vector<std::string>& items, const std::string& format,
                          char placeholder) {
  std::string out;
  std::size_t next = items.size();  // items[0, next) are still unused
  for (std::size_t i = format.size(); i-- > 0;) {
    if (format[i] == placeholder) {
      if (next > 0) out.insert(0, items[--next]);
    } else {
      out.insert(0, 1, format[i]);
    }
  }
  std::string rest;
  for (std::size_t k = 0; k < next; ++k) rest += items[k];
  return rest + out;
}

}  // namespace

std::string formatNumberGroups(const std::string& digits, const std::string& format) {
  if (!allDigits(digits)) return digits;
  std::size_t first = digits.find_first_not_of('0');
  const std::string significant = first == std::string::npos ? "" : digits.substr(first);
  std::vector<std::string> items;
  for (char c : significant) items.emplace_back(1, c);
  return fillFromRight(items, format, '#');
}

std::string formatTextGroups(const std::string& text, const std::string& format) {
  return fillFromRight(characters(text), format, '&');
}

std::string hectareText(const data::Value& area) {
  double squareMetres = 0;
  if (area.isNull() || !area.toNumber(squareMetres) || !std::isfinite(squareMetres)) return "0";
  // Two decimals, halves away from zero, then the single-precision number it becomes.
  const double hectares = std::round(squareMetres / 10000.0 * 100.0) / 100.0;
  const float single = static_cast<float>(hectares);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.7g", static_cast<double>(single));
  std::string text = data::withGermanDecimal(buffer);
  if (text == "-0") text = "0";
  return text;
}

std::string withoutFirstCharacter(const std::string& text) {
  const auto chars = characters(text);
  std::string out;
  for (std::size_t i = 1; i < chars.size(); ++i) out += chars[i];
  return out;
}

}  // namespace report
