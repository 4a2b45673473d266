#pragma once
// One field value as the survey database hands it out: Null or a text, number, date or flag.

#include <cstdint>
#include <string>
#include <variant>

namespace data {

struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
  bool operator==(const Date&) const = default;
};

class Value {
 public:
  enum class Kind { Null, Text, Integer, Real, Boolean, Date };

  Value() = default;  // Null
  static Value text(std::string s) { return Value(Storage(std::in_place_index<1>, std::move(s))); }
  static Value integer(int64_t v) { return Value(Storage(std::in_place_index<2>, v)); }
  static Value real(double v) { return Value(Storage(std::in_place_index<3>, v)); }
  static Value boolean(bool v) { return Value(Storage(std::in_place_index<4>, v)); }
  static Value date(Date d) { return Value(Storage(std::in_place_index<5>, d)); }

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool isNull() const { return v_.index() == 0; }
  bool isNumber() const { return kind() == Kind::Integer || kind() == Kind::Real; }

  // Direct access; the kind must match.
  const std::string& asText() const { return std::get<1>(v_); }
  int64_t asInteger() const { return std::get<2>(v_); }
  double asReal() const { return std::get<3>(v_); }
  bool asBoolean() const { return std::get<4>(v_); }
  Date asDate() const { return std::get<5>(v_); }

  // The value as text for a German form: under a German locale (de_DE, de_AT, de_CH ...) its
  // decimal separator and short date; under any other the German defaults, decimal comma and
  // "20.08.2003". Null gives "".
  std::string toText() const;
  // The numeric value: numbers as they are, texts parsed as numbers (locale-independent "." or
  // the locale's decimal separator), flags as -1/0. False when there is no number.
  bool toNumber(double& out) const;

  bool operator==(const Value&) const = default;

 private:
  using Storage = std::variant<std::monostate, std::string, int64_t, double, bool, Date>;
  explicit Value(Storage v) : v_(std::move(v)) {}
  Storage v_;
};

// A number printed by printf under the current locale, with its decimal point turned into the
// German comma unless the locale is a German one (which has its own separator already).
std::string withGermanDecimal(std::string number);

// True when text reads as a number under the platform's general numeric test: optional blanks
// and sign, digits with the locale's decimal and thousands separators, an optional exponent.
bool isNumeric(const std::string& text);

}  // namespace data
