#include "data/value.h"

#include <langinfo.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

namespace data {
namespace {

std::string decimalPoint() {
  const std::lconv* lc = std::localeconv();
  return lc && lc->decimal_point && *lc->decimal_point ? lc->decimal_point : ".";
}

std::string thousandsSeparator() {
  const std::lconv* lc = std::localeconv();
  return lc && lc->thousands_sep ? lc->thousands_sep : "";
}

// German forms want German notation. The user's locale gives it where it is a German one
// (de_DE, de_AT, de_CH ...); any other locale (C, en_US ...) gets the German defaults, so a
// form never shows "08/20/2003" or "4.02".
bool germanLocale(int category) {
  const char* name = std::setlocale(category, nullptr);
  return name && name[0] == 'd' && name[1] == 'e' && (name[2] == '_' || name[2] == '\0');
}

// Up to 15 significant digits without trailing zeros, as a desktop's number-to-text does.
std::string formatReal(double v) {
  if (std::isnan(v)) return "NaN";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);  // uses LC_NUMERIC's decimal separator
  return withGermanDecimal(buf);
}

// The locale's short date format (strftime's "%x") written out here: strftime looks at the time
// zone for every call, which costs a file-system query per date in a document.
bool formatLocaleDate(const Date& d, std::string& out) {
  const char* format = nl_langinfo(D_FMT);
  if (!format || !*format) return false;
  auto number = [&out](int value, int width, char pad) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width)
      out.append(static_cast<std::size_t>(width) - digits.size(), pad);
    out += digits;
  };
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    switch (*++p) {
      case 'd':
        number(d.day, 2, '0');
        break;
      case 'e':
        number(d.day, 2, ' ');
        break;
      case 'm':
        number(d.month, 2, '0');
        break;
      case 'Y':
        number(d.year, 1, '0');
        break;
      case 'y':
        number(d.year % 100, 2, '0');
        break;
      case '%':
        out += '%';
        break;
      default:  // a format no German locale uses: strftime writes it
        return false;
    }
  }
  return true;
}

std::string formatDate(const Date& d) {
  char buf[64];
  if (germanLocale(LC_TIME)) {
    if (std::string text; formatLocaleDate(d, text)) return text;
    std::tm t{};
    t.tm_year = d.year - 1900;
    t.tm_mon = d.month - 1;
    t.tm_mday = d.day;
    const std::size_t n = std::strftime(buf, sizeof buf, "%x", &t);
    if (n > 0) return std::string(buf, n);
  }
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day, d.month, d.year);
  return buf;
}

}  // namespace

std::string withGermanDecimal(std::string number) {
  if (germanLocale(LC_NUMERIC)) return number;
  for (char& c : number)
    if (c == '.') c = ',';
  return number;
}

std::string Value::toText() const {
  switch (kind()) {
    case Kind::Null:
      return "";
    case Kind::Text:
      return asText();
    case Kind::Integer:
      return std::to_string(asInteger());
    case Kind::Real:
      return formatReal(asReal());
    case Kind::Boolean:
      return asBoolean() ? "Wahr" : "Falsch";
    case Kind::Date:
      return formatDate(asDate());
  }
  return "";
}

bool Value::toNumber(double& out) const {
  switch (kind()) {
    case Kind::Integer:
      out = static_cast<double>(asInteger());
      return true;
    case Kind::Real:
      out = asReal();
      return true;
    case Kind::Boolean:
      out = asBoolean() ? -1.0 : 0.0;
      return true;
    case Kind::Text: {
      if (!isNumeric(asText())) return false;
      std::string s;
      const std::string dp = decimalPoint(), ts = thousandsSeparator();
      const std::string& t = asText();
      for (std::size_t i = 0; i < t.size();) {
        if (!dp.empty() && t.compare(i, dp.size(), dp) == 0) {
          s += '.';
          i += dp.size();
        } else if (!ts.empty() && t.compare(i, ts.size(), ts) == 0) {
          i += ts.size();
        } else {
          s += t[i++];
        }
      }
      std::size_t i = s.find_first_not_of(" \t");
      bool negative = s[i] == '-';
      if (s[i] == '-' || s[i] == '+') ++i;
      std::string norm = s.substr(i, s.find_last_not_of(" \t") + 1 - i);
      for (char& ch : norm)
        if (ch == 'd' || ch == 'D') ch = 'e';
      double v = 0;
      std::from_chars(norm.data(), norm.data() + norm.size(), v);
      out = negative ? -v : v;
      return true;
    }
    default:
      return false;
  }
}

bool isNumeric(const std::string& text) {
  const std::string dp = decimalPoint(), ts = thousandsSeparator();
  std::size_t i = 0, n = text.size();
  auto skipBlanks = [&] {
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  skipBlanks();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false, seenPoint = false;
  while (i < n) {
    if (text[i] >= '0' && text[i] <= '9') {
      digits = true;
      ++i;
    } else if (!seenPoint && !dp.empty() && text.compare(i, dp.size(), dp) == 0) {
      seenPoint = true;
      i += dp.size();
    } else if (!seenPoint && digits && !ts.empty() && text.compare(i, ts.size(), ts) == 0) {
      i += ts.size();
    } else {
      break;
    }
  }
  if (!digits) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t start = j;
    while (j < n && text[j] >= '0' && text[j] <= '9') ++j;
    if (j == start) return false;
    i = j;
  }
  skipBlanks();
  return i == n;
}

}  // namespace data
