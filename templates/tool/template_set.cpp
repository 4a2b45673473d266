#include "template_set.h"

#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <sstream>

#include "data/schema/routine_bookmarks.h"
#include "data/schema/sheet_types.h"
#include "form_error.h"
#include "wordml_writer.h"

namespace forms {

namespace {

// The shared parts, copied from the package folder in this order.
const std::vector<std::string> kSharedParts = {
    "[Content_Types].xml",          "_rels/.rels",     "docProps/core.xml", "docProps/app.xml",
    "word/_rels/document.xml.rels", "word/styles.xml", "word/settings.xml", "word/fontTable.xml",
};

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw FormError(file.string() + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::string xmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else
      out += c;
  }
  return out;
}

// Bookmark names of a part; a name that occurs twice in the package is an error.
void collectBookmarks(const std::string& part, const std::string& xml,
                      std::map<std::string, std::string>& where) {
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_string(xml.c_str());
  if (!parsed) throw FormError(part + " is not well-formed XML: " + parsed.description());
  for (const pugi::xpath_node& node : doc.select_nodes("//w:bookmarkStart")) {
    const std::string name = node.node().attribute("w:name").value();
    if (!where.emplace(name, part).second)
      throw FormError("bookmark " + name + " occurs twice (" + where[name] + ", " + part + ")");
  }
}

void requireAll(const TemplateSpec& spec, const std::vector<std::string>& names,
                const std::map<std::string, std::string>& where) {
  std::string missing;
  for (const auto& name : names)
    if (!where.count(name)) missing += " " + name;
  if (!missing.empty()) throw FormError(spec.fileName + " lacks the bookmarks" + missing);
}

}  // namespace

std::vector<TemplateSpec> templateSpecs() {
  using Kind = data::schema::DocumentTemplate::Kind;
  std::vector<TemplateSpec> specs;
  for (const data::schema::DocumentTemplate& t : data::schema::documentTemplates()) {
    TemplateSpec spec;
    spec.kind = t.kind;
    spec.key = t.key;
    spec.fileName = t.fileName;
    if (t.kind == Kind::kCoverSheet) {
      spec.form = "deckblatt.form";
    } else {
      const data::schema::SheetType& type = *data::schema::findSheetType(t.type);
      spec.form = t.kind == Kind::kReport ? "report.form" : "sheet.form";
      spec.type = type.code;
      spec.table1 = type.table1;
      spec.table2 = type.table2;
      spec.variables = {{"TYPE", type.code},
                        {"TITLE", type.title},
                        {"TABLE1", type.table1},
                        {"TABLE2", type.table2}};
    }
    specs.push_back(spec);
  }
  return specs;
}

PackageParts buildTemplate(const TemplateSpec& spec, const std::filesystem::path& formsFolder,
                           const std::filesystem::path& packageFolder) {
  const Form form = readForm(formsFolder / spec.form, spec.variables);
  const WordParts word = writeWordParts(form);
  PackageParts parts;
  for (const auto& name : kSharedParts) {
    std::string bytes = readFile(packageFolder / name);
    if (name == "docProps/core.xml")
      bytes = replaceAll(bytes, "${TITLE}", xmlEscaped(form.title.empty() ? spec.key : form.title));
    parts.emplace_back(name, std::move(bytes));
  }
  parts.emplace_back("word/document.xml", word.document);
  parts.emplace_back("word/header1.xml", word.header);
  parts.emplace_back("word/footer1.xml", word.footer);

  std::map<std::string, std::string> where;
  for (const auto& [name, bytes] : parts)
    if (name.ends_with(".xml") || name.ends_with(".rels")) collectBookmarks(name, bytes, where);

  using Kind = data::schema::DocumentTemplate::Kind;
  using namespace data::schema;
  switch (spec.kind) {
    case Kind::kSheet: {
      requireAll(spec, sheetBookmarks(spec.type, spec.table1, spec.table2), where);
      const std::string& part = where.at(kPageHeaderBookmark);
      if (part != "word/header1.xml" && part != "word/footer1.xml")
        throw FormError(spec.fileName + ": " + kPageHeaderBookmark +
                        " must lie in the page header or footer");
      break;
    }
    case Kind::kReport:
      requireAll(spec, reportHeadAndFooterBookmarks(), where);
      requireAll(spec, reportBodyBookmarks(spec.table1, spec.table2), where);
      break;
    case Kind::kCoverSheet:
      requireAll(spec, coverSheetBookmarks(), where);
      break;
  }
  return parts;
}

}  // namespace forms
