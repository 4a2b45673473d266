#include "test_package.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "word/docx/zip_archive.h"

namespace docx::test {
namespace {

constexpr const char* kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
constexpr const char* kNs =
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

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
  return Document::fromBytes(buildTemplate({body, "", "", true, true, ""}), "t.dotx");
}

std::string buildTemplate(const TemplateParts& parts) {
  std::string types =
      std::string(kDecl) +
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" "
      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml\"/>";
  std::string rels = std::string(kDecl) +
                     "<Relationships "
                     "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  const std::string relBase =
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
  std::string sectRefs;
  std::vector<ZipEntry> entries;
  if (parts.settings) {
    types +=
        "<Override PartName=\"/word/settings.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>";
    rels += "<Relationship Id=\"rId1\" Type=\"" + relBase + "settings\" Target=\"settings.xml\"/>";
    entries.push_back(entry("word/settings.xml",
                            std::string(kDecl) + "<w:settings" + kNs +
                                "><w:zoom w:percent=\"100\"/><w:defaultTabStop w:val=\"708\"/>"
                                "<w:compat/></w:settings>"));
  }
  if (parts.styles) {
    types +=
        "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>";
    rels += "<Relationship Id=\"rId2\" Type=\"" + relBase + "styles\" Target=\"styles.xml\"/>";
    entries.push_back(entry(
        "word/styles.xml",
        std::string(kDecl) + "<w:styles" + kNs +
            "><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\"/>"
            "<w:sz w:val=\"22\"/><w:lang w:val=\"en-US\"/></w:rPr></w:rPrDefault></w:docDefaults>"
            "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Standard\">"
            "<w:name w:val=\"Normal\"/></w:style></w:styles>"));
  }
  if (!parts.header.empty()) {
    types +=
        "<Override PartName=\"/word/header1.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/>";
    rels += "<Relationship Id=\"rId3\" Type=\"" + relBase + "header\" Target=\"header1.xml\"/>";
    sectRefs += "<w:headerReference w:type=\"default\" r:id=\"rId3\"/>";
    entries.push_back(entry("word/header1.xml",
                            std::string(kDecl) + "<w:hdr" + kNs + ">" + parts.header + "</w:hdr>"));
  }
  if (!parts.footer.empty()) {
    types +=
        "<Override PartName=\"/word/footer1.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.footer+xml\"/>";
    rels += "<Relationship Id=\"rId4\" Type=\"" + relBase + "footer\" Target=\"footer1.xml\"/>";
    sectRefs += "<w:footerReference w:type=\"default\" r:id=\"rId4\"/>";
    entries.push_back(entry("word/footer1.xml",
                            std::string(kDecl) + "<w:ftr" + kNs + ">" + parts.footer + "</w:ftr>"));
  }
  types += "</Types>";
  rels += "</Relationships>";
  const std::string document =
      !parts.documentXml.empty()
          ? parts.documentXml
          : std::string(kDecl) + "<w:document" + kNs + "><w:body>" + parts.body + "<w:sectPr>" +
                sectRefs +
                "<w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1417\" w:right=\"1417\" "
                "w:bottom=\"1134\" w:left=\"1417\" w:header=\"708\" w:footer=\"708\" "
                "w:gutter=\"0\"/></w:sectPr></w:body></w:document>";
  std::vector<ZipEntry> all;
  all.push_back(entry("[Content_Types].xml", types));
  all.push_back(entry("_rels/.rels",
                      std::string(kDecl) +
                          "<Relationships "
                          "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                          "<Relationship Id=\"rId1\" Type=\"" +
                          relBase +
                          "officeDocument\" Target=\"word/document.xml\"/></Relationships>"));
  all.push_back(entry("word/document.xml", document));
  all.push_back(entry("word/_rels/document.xml.rels", rels));
  for (auto& e : entries) all.push_back(std::move(e));
  return writeZip(all, 6);
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
  return writeZip(entries, 1);
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
