#include "data/shape_attributes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/ascii_case.h"
#include "data/dbf/dbf_file.h"

namespace data {
namespace {

constexpr std::size_t kCodeDigits = 11;

std::string padded(long long number) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*lld", static_cast<int>(kCodeDigits), number);
  return buffer;
}

}  // namespace

std::string polygonKey(const std::string& code) {
  std::string text = code;
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
  const std::size_t first = text.find_first_not_of(' ');
  text.erase(0, first == std::string::npos ? text.size() : first);
  const bool digits = !text.empty() && std::all_of(text.begin(), text.end(),
                                                   [](char c) { return c >= '0' && c <= '9'; });
  if (digits && text.size() < kCodeDigits) text.insert(0, kCodeDigits - text.size(), '0');
  return text;
}

std::string polygonKey(const Value& number) {
  switch (number.kind()) {
    case Value::Kind::Integer:
      return number.asInteger() >= 0 ? padded(number.asInteger()) : number.toText();
    case Value::Kind::Real: {
      const double v = number.asReal();
      if (v >= 0 && v < 1e15 && std::floor(v) == v) return padded(static_cast<long long>(v));
      return number.toText();
    }
    case Value::Kind::Text:
      return polygonKey(number.asText());
    default:
      return {};
  }
}

ShapeAttributes ShapeAttributes::read(const std::filesystem::path& dbfPath) {
  const dbf::DbfReader table = dbf::DbfReader::open(dbfPath);
  int numberField = -1, areaField = -1;
  const auto& fields = table.fields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (base::equalsNoCase(fields[i].name, "POLYGONNR")) numberField = static_cast<int>(i);
    if (base::equalsNoCase(fields[i].name, "AREA")) areaField = static_cast<int>(i);
  }
  if (numberField < 0) throw dbf::DbfError(dbfPath.string() + ": die Spalte POLYGONNR fehlt");
  ShapeAttributes out;
  out.hasArea_ = areaField >= 0;
  out.rows_.reserve(table.recordCount());
  for (uint32_t r = 0; r < table.recordCount(); ++r) {
    if (table.isDeleted(r)) continue;
    std::vector<Value> values = table.record(r);
    std::string key = polygonKey(values[static_cast<std::size_t>(numberField)]);
    if (key.empty()) continue;
    Row row{static_cast<int32_t>(r + 1),
            areaField < 0 ? Value() : std::move(values[static_cast<std::size_t>(areaField)])};
    out.rows_.insert_or_assign(std::move(key), std::move(row));
  }
  return out;
}

const ShapeAttributes::Row* ShapeAttributes::find(const std::string& polygonCode) const {
  auto it = rows_.find(polygonKey(polygonCode));
  return it == rows_.end() ? nullptr : &it->second;
}

}  // namespace data
