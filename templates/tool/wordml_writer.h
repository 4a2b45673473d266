#pragma once
// Turns a Form into the WordprocessingML parts that differ between templates: the main
// document (body with section properties for an A4 page), its page header and its page footer.
// Bookmark ids are unique across the three parts. Plain standard markup that word processors
// and the document engine read alike.

#include <string>

#include "form_model.h"

namespace forms {

struct WordParts {
  std::string document;  // word/document.xml
  std::string header;    // word/header1.xml
  std::string footer;    // word/footer1.xml
};

WordParts writeWordParts(const Form& form);

}  // namespace forms
