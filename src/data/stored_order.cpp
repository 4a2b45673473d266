#include "data/stored_order.h"

#include <cctype>
#include <vector>

namespace data {
namespace {

struct Token {
  std::string upper;  // keywords and identifiers in upper case; other text as is
  std::size_t begin;
  std::size_t end;
  bool word;
};

// Splits into words, quoted literals and single characters; tracks nesting by parentheses.
std::vector<Token> tokenize(const std::string& sql, bool& ok) {
  std::vector<Token> tokens;
  ok = true;
  for (std::size_t i = 0; i < sql.size();) {
    unsigned char c = static_cast<unsigned char>(sql[i]);
    if (std::isspace(c)) {
      ++i;
    } else if (std::isalnum(c) || c == '_' || c >= 0x80) {
      std::size_t b = i;
      std::string up;
      while (i < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[i])) || sql[i] == '_' ||
                                static_cast<unsigned char>(sql[i]) >= 0x80))
        up += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i++])));
      tokens.push_back({up, b, i, true});
    } else if (c == '\'' || c == '"' || c == '[' || c == '`') {
      char close = c == '[' ? ']' : static_cast<char>(c);
      std::size_t b = i++;
      while (i < sql.size()) {
        if (sql[i] == close) {
          if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
            i += 2;
            continue;
          }
          break;
        }
        ++i;
      }
      if (i >= sql.size()) {
        ok = false;
        return tokens;
      }
      ++i;
      tokens.push_back({sql.substr(b, i - b), b, i, false});
    } else {
      tokens.push_back({std::string(1, static_cast<char>(c)), i, i + 1, false});
      ++i;
    }
  }
  return tokens;
}

}  // namespace

std::string inStoredOrder(const std::string& sql) {
  bool ok = false;
  std::vector<Token> t = tokenize(sql, ok);
  if (!ok || t.size() < 4 || t[0].upper != "SELECT") return sql;
  std::size_t n = t.size();
  if (t[n - 1].upper == ";") --n;  // drop a trailing ";"

  bool distinct = t[1].upper == "DISTINCT";
  std::size_t listBegin = distinct ? 2 : 1;
  // Find FROM at nesting depth 0; refuse anything that already orders or groups, and joins.
  std::size_t from = 0;
  int depth = 0;
  for (std::size_t i = listBegin; i < n; ++i) {
    const std::string& u = t[i].upper;
    if (u == "(")
      ++depth;
    else if (u == ")")
      --depth;
    else if (depth == 0 && t[i].word) {
      if (u == "FROM" && from == 0) from = i;
      if (u == "ORDER" || u == "GROUP" || u == "JOIN" || u == "UNION" || u == "HAVING" ||
          u == "LIMIT")
        return sql;
    }
    if (depth == 0 && u == "," && from != 0) return sql;  // several tables
  }
  if (from == 0 || from == listBegin || from + 1 >= n || !t[from + 1].word) return sql;
  const std::size_t afterTable = from + 2;
  if (afterTable < n && t[afterTable].upper != "WHERE") return sql;  // an alias or more

  const std::string table = sql.substr(t[from + 1].begin, t[from + 1].end - t[from + 1].begin);
  const std::string body = sql.substr(0, t[n - 1].end);
  if (!distinct) return body + " ORDER BY " + table + "._rowid_";

  const std::string list = sql.substr(t[listBegin].begin, t[from - 1].end - t[listBegin].begin);
  if (list == "*") return sql;
  const std::string rest = sql.substr(t[from].begin, t[n - 1].end - t[from].begin);
  return "SELECT " + list + " " + rest + " GROUP BY " + list + " ORDER BY MIN(" + table +
         "._rowid_)";
}

}  // namespace data
