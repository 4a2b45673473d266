#pragma once
// Builds small but complete .dotx packages from literal XML for the engine's tests, and reads
// parts back out of saved packages.

#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <string>

namespace docx::test {

struct TemplateParts {
  std::string body;    // inner XML of w:body, in front of the section properties
  std::string header;  // inner XML of w:hdr; empty: no header
  std::string footer;  // inner XML of w:ftr; empty: no footer
  bool settings = true;
  bool styles = true;
  std::string documentXml;  // replaces the whole document part when not empty
};

// The .dotx package bytes.
std::string buildTemplate(const TemplateParts& parts);

// Writes bytes to a file and answers its path.
std::filesystem::path writeFile(const std::filesystem::path& path, const std::string& bytes);

// One part of a package, as text and parsed.
std::string partText(const std::string& packageBytes, const std::string& part);
std::unique_ptr<pugi::xml_document> partXml(const std::string& packageBytes,
                                            const std::string& part);

// Paragraph with one plain run.
std::string para(const std::string& text);

}  // namespace docx::test
