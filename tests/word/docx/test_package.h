#pragma once
// Builds small but complete .dotx packages from literal XML for the engine's tests, and reads
// parts back out of saved packages.

#include <filesystem>
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "word/docx/document.h"
#include "word/docx/run_format.h"

namespace docx::test {

struct TemplateParts {
  std::string body;    // inner XML of w:body, in front of the section properties
  std::string header;  // inner XML of w:hdr; empty: no header
  std::string footer;  // inner XML of w:ftr; empty: no footer
  bool settings = true;
  bool styles = true;
  std::string documentXml;  // replaces the whole document part when not empty
};

// The .dotx package bytes; the second form with settings and styles around body.
std::string buildTemplate(const TemplateParts& parts);
std::string buildTemplate(const std::string& body);

// The package with one part changed by edit (a part edited to "" is dropped).
std::string withPart(const std::string& package, const std::string& part,
                     const std::function<std::string(std::string)>& edit);

// Writes bytes to a file and answers its path.
std::filesystem::path writeFile(const std::filesystem::path& path, const std::string& bytes);

// One part of a package, as text and parsed.
std::string partText(const std::string& packageBytes, const std::string& part);
std::unique_ptr<pugi::xml_document> partXml(const std::string& packageBytes,
                                            const std::string& part);

// Paragraph with one plain run.
std::string para(const std::string& text);
// A bookmark around one run holding text.
std::string bookmark(int id, const std::string& name, const std::string& text);
// A table cell of width twips holding content (paragraphs).
std::string cell(int width, const std::string& content);
// A table of three 3000-twip columns; each cell one paragraph of its text.
std::string table(const std::vector<std::vector<std::string>>& rows);
// The format of the first run with text inside a bookmark of a part (its rPr read back).
RunFormat firstRunFormat(const pugi::xml_document& part, const std::string& bookmarkName);
// A document opened from a template with this body, settings and styles.
Document openBody(const std::string& body);

}  // namespace docx::test
