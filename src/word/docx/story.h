#pragma once
// A story is one flow of text in the document: the main body, a header or a footer. The
// editors address content through the story's part (to mark it modified) and its root node.

#include <pugixml.hpp>
#include <string>

namespace docx {

struct Story {
  std::string part;     // package part holding the story, e.g. "word/header1.xml"
  pugi::xml_node root;  // w:body, w:hdr or w:ftr
  bool main = false;    // the main text (body) as opposed to a header or footer
};

}  // namespace docx
