#include "form_reader.h"

#include <cctype>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "form_error.h"
#include "schema_blocks.h"
#include "schema_columns.h"
#include "table_layout.h"

namespace forms {

namespace {

constexpr double kBoxWidthMm = 5.0;

// A FormError that already names its file and line.
class LocatedError : public FormError {
 public:
  using FormError::FormError;
};

std::string trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

std::vector<std::string> split(const std::string& s, char separator) {
  std::vector<std::string> out;
  std::string piece;
  std::istringstream in(s);
  while (std::getline(in, piece, separator)) out.push_back(trim(piece));
  if (!s.empty() && s.back() == separator) out.emplace_back();
  return out;
}

double parseNumber(const std::string& text, const std::string& what) {
  try {
    std::size_t used = 0;
    const double value = std::stod(text, &used);
    if (used != text.size() || value < 0) throw std::invalid_argument(text);
    return value;
  } catch (const std::exception&) {
    throw FormError("\"" + text + "\" is not a number for " + what);
  }
}

// "@n" names the sheet table's column at position n; any other name stands for itself.
std::string resolveName(const std::string& name) {
  if (name.size() > 1 && name[0] == '@')
    return sheetColumn(static_cast<int>(parseNumber(name.substr(1), "a column position")));
  if (name.empty()) throw FormError("a bookmark without a name");
  return name;
}

Inline textPiece(std::string text, bool bold) {
  Inline piece;
  piece.text = std::move(text);
  piece.bold = bold;
  return piece;
}

class Reader {
 public:
  explicit Reader(const Variables& variables) : variables_(variables) {}

  void readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw FormError(file.string() + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    readText(text.str(), file);
  }

  void readText(const std::string& text, const std::filesystem::path& origin) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    const std::size_t depth = conditions_.size();
    while (std::getline(in, line)) {
      ++number;
      try {
        readLine(substitute(line), origin);
      } catch (const LocatedError&) {
        throw;
      } catch (const FormError& e) {
        throw LocatedError(origin.string() + ":" + std::to_string(number) + ": " + e.what());
      }
    }
    if (conditions_.size() != depth)
      throw FormError(origin.string() + ": \"if\" without \"endif\"");
    if (table_ && depth == 0) throw FormError(origin.string() + ": \"table\" without \"end\"");
  }

  Form take() { return std::move(form_); }

 private:
  std::string substitute(const std::string& line) const {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line.compare(i, 2, "${") == 0) {
        const auto close = line.find('}', i);
        if (close == std::string::npos) throw FormError("unclosed \"${\"");
        const std::string name = line.substr(i + 2, close - i - 2);
        const auto it = variables_.find(name);
        if (it == variables_.end()) throw FormError("unknown variable ${" + name + "}");
        out += it->second;
        i = close;
      } else {
        out += line[i];
      }
    }
    return out;
  }

  bool active() const {
    for (bool c : conditions_)
      if (!c) return false;
    return true;
  }

  void readLine(const std::string& raw, const std::filesystem::path& origin) {
    const std::string line = trim(raw);
    if (line.empty() || line[0] == '#') return;
    const auto gap = line.find_first_of(" \t");
    const std::string word = line.substr(0, gap);
    const std::string rest = gap == std::string::npos ? "" : trim(line.substr(gap));

    if (word == "if") return conditions_.push_back(active() && condition(rest));
    if (word == "endif") {
      if (conditions_.empty()) throw FormError("\"endif\" without \"if\"");
      conditions_.pop_back();
      return;
    }
    if (!active()) return;

    if (word == "include") return readFile(origin.parent_path() / rest);
    if (table_) return tableLine(word, rest);
    if (word == "margins") return margins(rest);
    if (word == "doctitle") {
      form_.title = rest;
      return;
    }
    if (word == "header" || word == "footer") {
      Paragraph p = headerLine(rest);
      (word == "header" ? form_.header : form_.footer).push_back(std::move(p));
      return;
    }
    if (word == "title") return paragraph(ParagraphStyle::kTitle, rest);
    if (word == "subtitle") return paragraph(ParagraphStyle::kSubtitle, rest);
    if (word == "heading") return paragraph(ParagraphStyle::kHeading, rest);
    if (word == "text") return paragraph(ParagraphStyle::kNormal, rest);
    if (word == "note") return paragraph(ParagraphStyle::kNote, rest);
    if (word == "box") return paragraph(ParagraphStyle::kBoxed, rest);
    if (word == "space") {
      Paragraph p;
      p.exactHeightPt = parseNumber(rest, "space");
      return addParagraph(std::move(p));
    }
    if (word == "choices") return choices(rest);
    if (word == "table") {
      table_.emplace();
      for (const auto& option : split(rest, ' ')) {
        if (option == "plain")
          table_->gridLines = false;
        else if (option.rfind("gap=", 0) == 0)
          table_->gapMm = parseNumber(option.substr(4), "the row gap");
        else if (!option.empty() && option != "grid")
          throw FormError("a table is \"grid\" or \"plain\" with an optional gap=MM, not \"" +
                          option + "\"");
      }
      return;
    }
    if (word == "columns") {
      const auto names = split(rest, ' ');
      for (auto& block : sheetBodyBlocks(names, textWidthMm(form_.margins), used_)) {
        if (block.kind == Block::Kind::kTable) fitRows(block.table, textWidthMm(form_.margins));
        form_.body.push_back(std::move(block));
      }
      return;
    }
    if (word == "structure") {
      const auto space = rest.find(' ');
      if (space == std::string::npos) throw FormError("\"structure\" needs a table and a heading");
      Block block = reportStructureTable(rest.substr(0, space), trim(rest.substr(space)),
                                         textWidthMm(form_.margins), used_);
      fitRows(block.table, textWidthMm(form_.margins));
      form_.body.push_back(std::move(block));
      return;
    }
    throw FormError("unknown directive \"" + word + "\"");
  }

  bool condition(const std::string& text) const {
    const auto ne = text.find("!=");
    const auto eq = text.find('=');
    if (eq == std::string::npos) throw FormError("\"if\" needs NAME=VALUE or NAME!=VALUE");
    const bool negated = ne != std::string::npos && ne + 1 == eq;
    const std::string name = trim(text.substr(0, negated ? ne : eq));
    const std::string value = trim(text.substr(eq + 1));
    const auto it = variables_.find(name);
    if (it == variables_.end()) throw FormError("unknown variable " + name + " in \"if\"");
    return (it->second == value) != negated;
  }

  void margins(const std::string& rest) {
    const auto values = split(rest, ' ');
    if (values.size() != 4) throw FormError("\"margins\" needs top, right, bottom and left in mm");
    form_.margins = {parseNumber(values[0], "margins"), parseNumber(values[1], "margins"),
                     parseNumber(values[2], "margins"), parseNumber(values[3], "margins")};
  }

  Paragraph headerLine(const std::string& text) {
    Paragraph p;
    const auto bar = text.find(" | ");
    if (bar == std::string::npos) {
      p.inlines = inlines(text);
    } else {
      p.rightTab = true;
      p.inlines = inlines(trim(text.substr(0, bar)));
      Inline tab;
      tab.kind = Inline::Kind::kTab;
      p.inlines.push_back(tab);
      for (auto& piece : inlines(trim(text.substr(bar + 3)))) p.inlines.push_back(piece);
    }
    return p;
  }

  void paragraph(ParagraphStyle style, const std::string& text) {
    Paragraph p;
    p.style = style;
    p.inlines = inlines(text);
    addParagraph(std::move(p));
  }

  void addParagraph(Paragraph p) {
    Block block;
    block.paragraph = std::move(p);
    form_.body.push_back(std::move(block));
  }

  // Inline pieces with their bookmark names recorded, so that generated rows skip them.
  std::vector<Inline> inlines(const std::string& text) {
    auto pieces = parseInlines(text);
    for (const auto& piece : pieces)
      if (piece.kind == Inline::Kind::kBookmark) used_.insert(piece.name);
    return pieces;
  }

  // choices @n v=label; v=label ...  The values must be exactly those the column can hold.
  void choices(const std::string& rest) {
    const auto space = rest.find(' ');
    if (space == std::string::npos) throw FormError("\"choices\" needs a column and its labels");
    const std::string column = resolveName(rest.substr(0, space));
    const int position = sheetTable().position(column);
    if (position < 0) throw FormError("the sheet table has no column " + column);
    const auto expected =
        forms::crossValues(sheetTable().columns[static_cast<std::size_t>(position)]);
    std::vector<std::pair<std::string, std::string>> labels;
    for (const auto& item : split(trim(rest.substr(space)), ';')) {
      const auto eq = item.find('=');
      if (eq == std::string::npos) throw FormError("a choice reads VALUE=label: " + item);
      labels.emplace_back(trim(item.substr(0, eq)), trim(item.substr(eq + 1)));
    }
    std::vector<std::string> given;
    for (const auto& [value, label] : labels) given.push_back(value);
    if (given != expected) {
      std::string list;
      for (const auto& v : expected) list += (list.empty() ? "" : ", ") + v;
      throw FormError("the crosses of " + column + " must be labelled for the values " + list +
                      " in this order");
    }
    choices_[column] = std::move(labels);
  }

  void tableLine(const std::string& word, const std::string& rest) {
    if (word == "end") {
      if (table_->rows.empty()) throw FormError("a table without rows");
      Block block;
      block.kind = Block::Kind::kTable;
      block.table = std::move(*table_);
      table_.reset();
      fitRows(block.table, textWidthMm(form_.margins));
      form_.body.push_back(std::move(block));
      return;
    }
    if (word.rfind("row", 0) != 0) throw FormError("inside a table only \"row\" and \"end\"");
    Row row;
    if (word.size() > 3) {
      if (word[3] != ':') throw FormError("a row reads \"row\" or \"row:HEIGHT\"");
      row.minHeightMm = parseNumber(word.substr(4), "the row height");
    }
    for (const auto& cellText : split(rest, '|')) addCells(row, cellText);
    if (table_->gapMm > 0 && !table_->rows.empty()) {
      Row gap;
      gap.minHeightMm = table_->gapMm;
      gap.exactHeight = true;
      gap.cells.emplace_back();
      table_->rows.push_back(std::move(gap));
    }
    table_->rows.push_back(std::move(row));
  }

  void addCells(Row& row, std::string text) {
    double width = 0;
    const auto at = text.rfind('@');
    // A width is " @mm" at the end of the cell ("@mm" alone for an empty cell); "#@22" and
    // "[[@22]]" name columns instead.
    if (at != std::string::npos && at + 1 < text.size() && (at == 0 || text[at - 1] == ' ') &&
        text.find_first_not_of("0123456789.", at + 1) == std::string::npos) {
      width = parseNumber(text.substr(at + 1), "a cell width");
      text = trim(text.substr(0, at));
    }
    Cell cell;
    cell.widthMm = width;
    if (!text.empty() && text[0] == '#') return addBoxes(row, text.substr(1), width);
    if (!text.empty() && text[0] == '%') return addCrosses(row, text.substr(1), width);
    if (!text.empty() && text[0] == '!') {
      cell.kind = Cell::Kind::kCaption;
      text = trim(text.substr(1));
    } else if (!text.empty() && text[0] == '=') {
      cell.kind = Cell::Kind::kHeading;
      text = trim(text.substr(1));
    } else if (!text.empty() && text[0] == '_') {
      cell.line = true;
      text = trim(text.substr(1));
    }
    cell.inlines = inlines(text);
    row.cells.push_back(std::move(cell));
  }

  // "#NAME" is one box, "#PREFIXa..b" the boxes PREFIXa to PREFIXb.
  void addBoxes(Row& row, const std::string& spec, double width) {
    const auto dots = spec.find("..");
    std::vector<std::string> names;
    if (dots == std::string::npos) {
      names.push_back(resolveName(spec));
    } else {
      std::size_t digits = dots;
      while (digits > 0 && std::isdigit(static_cast<unsigned char>(spec[digits - 1]))) --digits;
      const std::string prefix = spec.substr(0, digits);
      const int first = static_cast<int>(parseNumber(spec.substr(digits, dots - digits), "a box"));
      const int last = static_cast<int>(parseNumber(spec.substr(dots + 2), "a box"));
      if (prefix.empty() || last < first) throw FormError("a box range reads PREFIXa..b: " + spec);
      for (int i = first; i <= last; ++i) names.push_back(prefix + std::to_string(i));
    }
    for (const auto& name : names) row.cells.push_back(boxCell(name, width));
  }

  Cell boxCell(const std::string& name, double width) {
    Cell cell;
    cell.kind = Cell::Kind::kBox;
    cell.widthMm = width > 0 ? width : kBoxWidthMm;
    Inline mark;
    mark.kind = Inline::Kind::kBookmark;
    mark.name = name;
    cell.inlines.push_back(mark);
    used_.insert(name);
    return cell;
  }

  // "%@n": one box and its label for every value of the cross column, with the labels of its
  // "choices" line.
  void addCrosses(Row& row, const std::string& spec, double labelWidth) {
    const std::string column = resolveName(spec);
    const auto it = choices_.find(column);
    if (it == choices_.end()) throw FormError("no \"choices\" line for the crosses of " + column);
    for (const auto& [value, label] : it->second) {
      row.cells.push_back(boxCell(column + value, 0));
      Cell text;
      text.kind = Cell::Kind::kCaption;
      text.widthMm = labelWidth;
      text.inlines = parseInlines(label);
      row.cells.push_back(std::move(text));
    }
  }

  const Variables& variables_;
  Form form_;
  std::vector<bool> conditions_;
  std::optional<Table> table_;
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> choices_;
  std::set<std::string> used_;
};

}  // namespace

std::vector<Inline> parseInlines(const std::string& text) {
  std::vector<Inline> out;
  std::string pending;
  bool bold = false;
  auto flush = [&] {
    if (!pending.empty()) out.push_back(textPiece(std::move(pending), bold));
    pending.clear();
  };
  auto special = [&](Inline::Kind kind) {
    flush();
    Inline piece;
    piece.kind = kind;
    piece.bold = bold;
    out.push_back(piece);
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "[[") == 0) {
      const auto close = text.find("]]", i);
      if (close == std::string::npos) throw FormError("unclosed \"[[\"");
      flush();
      const std::string inner = text.substr(i + 2, close - i - 2);
      const auto colon = inner.find(':');
      Inline mark;
      mark.kind = Inline::Kind::kBookmark;
      mark.bold = bold;
      mark.name = resolveName(trim(inner.substr(0, colon)));
      if (colon != std::string::npos) {
        std::string placeholder = inner.substr(colon + 1);
        if (placeholder.size() > 1 && placeholder[0] == '_' &&
            placeholder.find_first_not_of("0123456789", 1) == std::string::npos)
          placeholder =
              std::string(static_cast<std::size_t>(std::stoi(placeholder.substr(1))), '_');
        mark.text = placeholder;
      }
      out.push_back(mark);
      i = close + 1;
    } else if (text.compare(i, 6, "{PAGE}") == 0) {
      special(Inline::Kind::kPageField);
      i += 5;
    } else if (text.compare(i, 10, "{NUMPAGES}") == 0) {
      special(Inline::Kind::kPageCountField);
      i += 9;
    } else if (text.compare(i, 2, "\\n") == 0) {
      special(Inline::Kind::kLineBreak);
      i += 1;
    } else if (text.compare(i, 2, "\\t") == 0) {
      special(Inline::Kind::kTab);
      i += 1;
    } else if (text.compare(i, 2, "**") == 0) {
      flush();
      bold = !bold;
      i += 1;
    } else {
      pending += text[i];
    }
  }
  flush();
  return out;
}

Form readForm(const std::filesystem::path& file, const Variables& variables) {
  Reader reader(variables);
  reader.readFile(file);
  return reader.take();
}

Form readFormText(const std::string& text, const std::filesystem::path& origin,
                  const Variables& variables) {
  Reader reader(variables);
  reader.readText(text, origin);
  return reader.take();
}

}  // namespace forms
