#pragma once
// Small helpers over pugixml shared by the editors: element tests, children kept in the order
// the OOXML schema demands, and cleaning of text before it goes into XML.

#include <cstring>
#include <initializer_list>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace docx {

// The WordprocessingML namespace, which the editors address through the prefix "w".
inline constexpr const char* kNsW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

inline bool is(pugi::xml_node node, const char* name) {
  // strcmp stops at the first difference; this test runs for every node the editors visit.
  return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

// The child `name` of `parent`, created at the place that `order` (the schema's sequence of
// child names) gives it when missing.
pugi::xml_node orderedChild(pugi::xml_node parent, const char* name,
                            std::initializer_list<const char*> order);

// Why a part could not be parsed, in German ("Start- und End-Tag passen nicht zusammen").
std::string parseProblem(const pugi::xml_parse_result& result);

// Nearest ancestor (or the node itself) with the given name; empty when none.
pugi::xml_node ancestor(pugi::xml_node node, const char* name);

// Text made safe for XML 1.0: invalid UTF-8 becomes U+FFFD, control characters other than tab,
// line feed and carriage return are dropped, a vertical tab becomes a line feed.
std::string cleanText(std::string_view text);

// Length in UTF-16 code units, the unit word processors count characters in.
std::size_t utf16Length(std::string_view utf8);

// A w:t element that keeps leading and trailing blanks.
void appendTextElement(pugi::xml_node run, std::string_view text);

// Whether a boolean OOXML attribute value ("1", "true", "on") is set.
bool onOff(pugi::xml_attribute attr, bool absent);

}  // namespace docx
