#pragma once
// Walking WordprocessingML content in document order between two nodes, and the plain text of
// such a stretch as a word processor reports it: "\r" ends a paragraph, "\n" is a line break,
// "\t" a tab. Field instructions, deleted text and drawings contribute no text.

#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "word/docx/xml_util.h"

namespace docx {

// Elements whose content is never text of the story (properties, field codes, deletions,
// embedded drawings with their own stories).
bool isOpaque(pugi::xml_node element);
// The same for an element's name.
bool isOpaqueName(std::string_view name);

// Visits the nodes strictly between `from` and `to` in document order. `enter(node)` answers
// whether to descend into the node; `leave(node)` is called when an entered element (or an
// ancestor of `from`) is finished before `to` is reached. Stops at `to` or at the end.
template <typename Enter, typename Leave>
void walkBetween(pugi::xml_node from, pugi::xml_node to, Enter&& enter, Leave&& leave) {
  pugi::xml_node n = from;
  auto advance = [&]() -> bool {
    while (!n.next_sibling()) {
      n = n.parent();
      if (!n || n.type() == pugi::node_document) return false;
      if (n == to) return false;
      leave(n);
    }
    n = n.next_sibling();
    return true;
  };
  if (!advance()) return;
  while (n && n != to) {
    const bool descend = enter(n);
    if (descend && n.first_child()) {
      n = n.first_child();
      continue;
    }
    if (descend) leave(n);
    if (!advance()) return;
  }
}

// Text contributed by one element when entered (empty for most); answers whether to descend.
bool textOf(pugi::xml_node node, std::string& out);

// The text between two markers.
std::string textBetween(pugi::xml_node from, pugi::xml_node to);

// The text of a container (cell, paragraph): its paragraphs joined by "\r", no trailing "\r".
std::string textOfContainer(pugi::xml_node container);

// The runs (w:r) between two markers, in order.
std::vector<pugi::xml_node> runsBetween(pugi::xml_node from, pugi::xml_node to);

}  // namespace docx
