// The values of a dBASE table's fields: numbers, dates, flags, memo texts and binary fields as
// each dBASE dialect stores them, and texts in the table's code page.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "base/byte_order.h"
#include "data/dbf/calendar.h"
#include "data/dbf/dbf_reader_impl.h"

namespace data::dbf {

using base::bytes::loadBE;
using base::bytes::loadLE;
using detail::rightTrimmed;

std::string DbfReader::Impl::toText(std::string_view raw) const {
  return *toUtf8->convert(raw, true);
}

Value DbfReader::Impl::textValue(std::string_view raw) const {
  std::optional<std::string> text = toUtf8->convert(raw, false);
  if (!text) {
    misDecoded = true;
    return Value::text(toText(raw));
  }
  // U+0080..U+009F, in UTF-8 0xC2 0x80..0x9F.
  for (std::size_t i = 0; !misDecoded && i + 1 < text->size(); ++i)
    if (static_cast<unsigned char>((*text)[i]) == 0xC2 &&
        (static_cast<unsigned char>((*text)[i + 1]) & 0xE0) == 0x80)
      misDecoded = true;
  return Value::text(std::move(*text));
}

Value DbfReader::Impl::decodeNumber(const Column& c, std::string_view raw) const {
  const std::string_view t = trimmed(raw);
  if (t.empty()) return {};
  // dBASE fills a field with asterisks when the value did not fit; there is no value then.
  if (std::all_of(t.begin(), t.end(), [](char ch) { return ch == '*'; })) return {};
  std::string text(t);
  std::replace(text.begin(), text.end(), ',', '.');
  const bool integral =
      c.descriptor.decimals == 0 && text.find_first_of(".eE") == std::string::npos;
  char* end = nullptr;
  if (integral) {
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (*end == '\0' && end != text.c_str() && errno == 0) return Value::integer(v);
  }
  // dBASE writes a point whatever the user's locale; from_chars ignores LC_NUMERIC.
  const char* first = text.c_str();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  double v = 0;
  const auto [ptr, ec] = std::from_chars(first, last, v);
  if (ec != std::errc() || ptr != last || first == last || !std::isfinite(v))
    fail(t, "\"" + toText(t) + "\" ist keine Zahl");
  return Value::real(v);
}

Value DbfReader::Impl::decodeMemo(const Column& c, std::string_view raw, bool text) const {
  uint64_t block = 0;
  if (c.memoBinary) {
    block = loadLE<uint32_t>(raw.data());
  } else {
    const std::string_view t = trimmed(raw);
    if (t.empty()) return {};
    for (char ch : t) {
      if (ch < '0' || ch > '9') fail(t, "ungültige Memoblocknummer \"" + std::string(t) + "\"");
      block = block * 10 + static_cast<uint64_t>(ch - '0');
    }
  }
  if (block == 0 || !memo) return {};
  std::string content;
  try {
    content = memo->read(block);
  } catch (const DbfError& e) {
    fail(raw, e.what());
  }
  if (!text) return content.empty() ? Value() : Value::text(std::move(content));
  const std::string_view shown = rightTrimmed(content);
  if (shown.empty()) return {};
  return textValue(shown);
}

Value DbfReader::Impl::decode(const Column& c, const char* record) const {
  if (c.nullBit >= 0) {
    const auto byte = static_cast<unsigned char>(record[1 + *nullFlagsOffset + c.nullBit / 8]);
    if (byte & (1u << (c.nullBit % 8))) return {};
  }
  const std::string_view raw(record + 1 + c.offset, c.descriptor.length);
  const bool dbase7 = layout == Layout::Dbase7;
  switch (c.descriptor.type) {
    case 'N':
    case 'F':
      return decodeNumber(c, raw);
    case 'D': {
      const std::string_view t = trimmed(raw);
      if (t.empty() || t == "00000000") return {};
      if (t.size() != 8 ||
          !std::all_of(t.begin(), t.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
        fail(t, "\"" + toText(t) + "\" ist kein Datum");
      const int y = std::atoi(std::string(t.substr(0, 4)).c_str());
      const int m = std::atoi(std::string(t.substr(4, 2)).c_str());
      const int d = std::atoi(std::string(t.substr(6, 2)).c_str());
      if (!validDate(y, m, d)) fail(t, "\"" + std::string(t) + "\" ist kein gültiges Datum");
      return Value::date(Date{y, m, d});
    }
    case 'L':
      switch (raw[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
          return Value::boolean(true);
        case 'F':
        case 'f':
        case 'N':
        case 'n':
          return Value::boolean(false);
        case '?':
        case ' ':
        case '\0':
          return {};
        default:
          fail(raw, "\"" + toText(raw) + "\" ist kein Wahrheitswert");
      }
      return {};
    case 'I':
    case '+':
      if (dbase7) {
        // dBASE 7 stores integers big-endian with the sign bit inverted, so that they sort.
        const uint32_t u = loadBE<uint32_t>(raw.data()) ^ 0x80000000u;
        return Value::integer(static_cast<int32_t>(u));
      }
      return Value::integer(static_cast<int32_t>(loadLE<uint32_t>(raw.data())));
    case 'B':
      if (layout == Layout::VisualFoxPro)
        return Value::real(std::bit_cast<double>(loadLE<uint64_t>(raw.data())));
      return decodeMemo(c, raw, false);
    case 'O': {
      uint64_t u = loadBE<uint64_t>(raw.data());
      u = (u & 0x8000000000000000ull) ? (u ^ 0x8000000000000000ull) : ~u;
      return Value::real(std::bit_cast<double>(u));
    }
    case 'Y':
      return Value::real(static_cast<double>(static_cast<int64_t>(loadLE<uint64_t>(raw.data()))) /
                         10000.0);
    case 'T': {
      const auto day = static_cast<int32_t>(loadLE<uint32_t>(raw.data()));
      if (day <= 0) return {};
      return Value::date(fromJulianDay(day));
    }
    case '@': {
      uint64_t u = loadBE<uint64_t>(raw.data());
      if (u == 0) return {};
      u = (u & 0x8000000000000000ull) ? (u ^ 0x8000000000000000ull) : ~u;
      const double ms = std::bit_cast<double>(u);
      if (!std::isfinite(ms) || ms <= 0 || ms > 1e15) return {};
      return Value::date(fromJulianDay(static_cast<int64_t>(ms / 86400000.0)));
    }
    case 'M':
      return decodeMemo(c, raw, true);
    case 'G':
    case 'P':
      return decodeMemo(c, raw, false);
    default: {
      // Character fields and types this reader does not know: the text as it stands. Only
      // texts tell whether the code page is right; binary fields hold any byte.
      const std::string_view t = rightTrimmed(raw);
      if (t.empty()) return {};
      const char type = c.descriptor.type;
      return type == 'C' || type == 'V' ? textValue(t) : Value::text(toText(t));
    }
  }
}

}  // namespace data::dbf
