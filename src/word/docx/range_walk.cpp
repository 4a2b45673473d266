#include "word/docx/range_walk.h"

#include <string_view>

namespace docx {

bool isOpaque(pugi::xml_node e) {
  return isOpaqueName(e.name());
}

bool isOpaqueName(std::string_view name) {
  // By length first: every element of a story is asked once per document, and each length has
  // at most five candidates.
  switch (name.size()) {
    case 5:
      return name == "w:rPr" || name == "w:pPr" || name == "w:del";
    case 6:
      return name == "w:trPr" || name == "w:tcPr" || name == "w:pict";
    case 7:
      return name == "w:tblPr";
    case 8:
      return name == "w:sectPr" || name == "w:object" || name == "w:ffData";
    case 9:
      return name == "w:tblGrid" || name == "w:delText" || name == "w:drawing" ||
             name == "w:fldData" || name == "w:tblPrEx";
    case 10:
      return name == "w:moveFrom";
    case 11:
      return name == "w:instrText";
    case 19:
      return name == "mc:AlternateContent";
    default:
      return false;
  }
}

bool textOf(pugi::xml_node node, std::string& out) {
  if (node.type() != pugi::node_element) return false;
  const char* raw = node.name();
  // Only names in the w: namespace carry text; everything else is descended into or skipped.
  if (raw[0] != 'w' || raw[1] != ':') return !isOpaque(node);
  const std::string_view name = raw;
  if (name == "w:t") {
    out += node.child_value();
    return false;
  }
  if (name == "w:tab" || name == "w:br" || name == "w:cr" || name == "w:noBreakHyphen") {
    if (!is(node.parent(), "w:r")) return false;
    if (name == "w:tab") {
      out += '\t';
    } else if (name == "w:noBreakHyphen") {
      out += '-';
    } else if (name == "w:br" && (std::string_view(node.attribute("w:type").value()) == "page" ||
                                  std::string_view(node.attribute("w:type").value()) == "column")) {
      out += '\f';
    } else {
      out += '\n';
    }
    return false;
  }
  return !isOpaque(node);
}

std::string textBetween(pugi::xml_node from, pugi::xml_node to) {
  std::string out;
  walkBetween(
      from, to, [&](pugi::xml_node n) { return textOf(n, out); },
      [&](pugi::xml_node n) {
        if (is(n, "w:p")) out += '\r';
      });
  return out;
}

std::string textOfContainer(pugi::xml_node container) {
  std::string out;
  bool firstParagraph = true;
  auto visit = [&](auto&& self, pugi::xml_node node) -> void {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      if (is(child, "w:p")) {
        if (!firstParagraph) out += '\r';
        firstParagraph = false;
      }
      if (textOf(child, out)) self(self, child);
    }
  };
  visit(visit, container);
  return out;
}

std::vector<pugi::xml_node> runsBetween(pugi::xml_node from, pugi::xml_node to) {
  std::vector<pugi::xml_node> runs;
  walkBetween(
      from, to,
      [&](pugi::xml_node n) {
        if (is(n, "w:r")) {
          runs.push_back(n);
          return false;
        }
        return n.type() == pugi::node_element && !isOpaque(n);
      },
      [](pugi::xml_node) {});
  return runs;
}

}  // namespace docx
