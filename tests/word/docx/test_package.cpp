#include "test_package.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "word/docx/zip_archive.h"

namespace docx::test {
namespace {

constexpr const char* kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
constexpr const char* kNs =
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

constexpr const char* kRelsOpen =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";

// The pieces joined (gcc 12 misreads long chains of + on strings as out-of-bounds copies).
std::string cat(std::initializer_list<std::string_view> pieces) {
  std::string out;
  for (std::string_view p : pieces) out += p;
  return out;
}

ZipEntry entry(const std::string& name, const std::string& text) {
  return {name, std::make_shared<const std::string>(text)};
}

}  // namespace

std::string para(const std::string& text) {
  return "<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p>";
}

std::string bookmark(int id, const std::string& name, const std::string& text) {
  const std::string n = std::to_string(id);
  return "<w:bookmarkStart w:id=\"" + n + "\" w:name=\"" + name +
         "\"/><w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r><w:bookmarkEnd w:id=\"" + n +
         "\"/>";
}

std::string cell(int width, const std::string& content) {
  return "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(width) + "\" w:type=\"dxa\"/></w:tcPr>" +
         content + "</w:tc>";
}

std::string table(const std::vector<std::vector<std::string>>& rows) {
  std::string xml =
      "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid>"
      "<w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>";
  for (const auto& row : rows) {
    xml += "<w:tr>";
    for (const auto& c : row) xml += cell(3000, para(c));
    xml += "</w:tr>";
  }
  return xml + "</w:tbl>";
}

RunFormat firstRunFormat(const pugi::xml_document& part, const std::string& bookmarkName) {
  const std::string path =
      "//w:bookmarkStart[@w:name='" + bookmarkName + "']/following::w:r[w:t][1]/w:rPr";
  return readFormat(part.select_node(path.c_str()).node());
}

Document openBody(const std::string& body) {
  return Document::fromBytes(buildTemplate(body), "t.dotx");
}

std::string buildTemplate(const std::string& body) {
  return buildTemplate(TemplateParts{body, "", "", true, true, ""});
}

std::string buildTemplate(const TemplateParts& parts) {
  constexpr const char* kTypeBase =
      "application/vnd.openxmlformats-officedocument.wordprocessingml.";
  constexpr const char* kRelBase =
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
  std::string types =
      cat({kDecl, "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">",
           "<Default Extension=\"rels\" "
           "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>",
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>",
           "<Override PartName=\"/word/document.xml\" ContentType=\"", kTypeBase,
           "template.main+xml\"/>"});
  std::string rels = kRelsOpen;
  std::string sectRefs;
  std::vector<ZipEntry> entries;
  auto rel = [&](const std::string& id, const std::string& kind, const std::string& target) {
    return cat(
        {"<Relationship Id=\"", id, "\" Type=\"", kRelBase, kind, "\" Target=\"", target, "\"/>"});
  };
  // A part of the main document: content type, relationship rIdN and the part itself.
  auto add = [&](const std::string& kind, const std::string& file, int id, const std::string& root,
                 const std::string& inner) {
    const std::string rId = "rId" + std::to_string(id);
    types += cat(
        {"<Override PartName=\"/word/", file, "\" ContentType=\"", kTypeBase, kind, "+xml\"/>"});
    rels += rel(rId, kind, file);
    if (kind == "header" || kind == "footer")
      sectRefs += cat({"<w:", kind, "Reference w:type=\"default\" r:id=\"", rId, "\"/>"});
    entries.push_back(
        entry("word/" + file, cat({kDecl, "<", root, kNs, ">", inner, "</", root, ">"})));
  };
  if (parts.settings) {
    add("settings", "settings.xml", 1, "w:settings",
        "<w:zoom w:percent=\"100\"/><w:defaultTabStop w:val=\"708\"/><w:compat/>");
  }
  if (parts.styles) {
    add("styles", "styles.xml", 2, "w:styles",
        "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\"/>"
        "<w:sz w:val=\"22\"/><w:lang w:val=\"en-US\"/></w:rPr></w:rPrDefault></w:docDefaults>"
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Standard\">"
        "<w:name w:val=\"Normal\"/></w:style>");
  }
  if (!parts.header.empty()) add("header", "header1.xml", 3, "w:hdr", parts.header);
  if (!parts.footer.empty()) add("footer", "footer1.xml", 4, "w:ftr", parts.footer);
  const std::string document =
      !parts.documentXml.empty()
          ? parts.documentXml
          : cat({kDecl, "<w:document", kNs, "><w:body>", parts.body, "<w:sectPr>", sectRefs,
                 "<w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1417\" w:right=\"1417\" "
                 "w:bottom=\"1134\" w:left=\"1417\" w:header=\"708\" w:footer=\"708\" "
                 "w:gutter=\"0\"/></w:sectPr></w:body></w:document>"});
  entries.insert(
      entries.begin(),
      {entry("[Content_Types].xml", types + "</Types>"),
       entry("_rels/.rels", cat({kRelsOpen, rel("rId1", "officeDocument", "word/document.xml"),
                                 "</Relationships>"})),
       entry("word/document.xml", document),
       entry("word/_rels/document.xml.rels", rels + "</Relationships>")});
  return writeZip(entries, Packing::kSmall);
}

std::string withPart(const std::string& package, const std::string& part,
                     const std::function<std::string(std::string)>& edit) {
  std::vector<ZipEntry> entries;
  for (auto& e : readZip(package, "test")) {
    if (e.name != part) {
      entries.push_back(std::move(e));
    } else if (std::string changed = edit(*e.data); !changed.empty()) {
      entries.push_back({e.name, std::make_shared<const std::string>(changed)});
    }
  }
  return writeZip(entries, Packing::kFast);
}

std::filesystem::path writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return path;
}

std::string partText(const std::string& packageBytes, const std::string& part) {
  for (const ZipEntry& e : readZip(packageBytes, "test")) {
    if (e.name == part) return *e.data;
  }
  throw std::runtime_error("no part " + part);
}

std::unique_ptr<pugi::xml_document> partXml(const std::string& packageBytes,
                                            const std::string& part) {
  auto doc = std::make_unique<pugi::xml_document>();
  const std::string text = partText(packageBytes, part);
  if (!doc->load_buffer(text.data(), text.size(),
                        pugi::parse_default | pugi::parse_ws_pcdata_single)) {
    throw std::runtime_error("part " + part + " is not well-formed");
  }
  return doc;
}

}  // namespace docx::test
