#include "data/shown_query.h"

namespace data {

std::string shownQuery(const std::string& sql, const std::vector<Value>& params) {
  std::string out;
  std::size_t next = 0;
  bool quoted = false;
  for (char c : sql) {
    if (c == '\'') quoted = !quoted;
    if (c != '?' || quoted || next >= params.size()) {
      out += c;
      continue;
    }
    const Value& v = params[next++];
    if (v.isNull()) {
      out += "NULL";
    } else if (v.kind() == Value::Kind::Integer) {
      out += std::to_string(v.asInteger());
    } else {
      out += '\'';
      for (char t : v.toText()) out += t == '\'' ? std::string("''") : std::string(1, t);
      out += '\'';
    }
  }
  return out;
}

std::string failedQueryLine(const std::string& routine, const std::string& shown, int index,
                            const FailedQueryWording& wording) {
  std::string line = routine;
  line += ": Fehler! Die SQL-Anfrage (";
  line += shown;
  line += ") auf die Tabelle ";
  if (wording.table.empty()) {
    line += "mit dem Index ";
    line += std::to_string(index);
  } else {
    line += wording.table;
  }
  line += wording.fehl ? " schlug fehl." : " schlug fehlt.";
  return line;
}

}  // namespace data
