#include "word/template_check.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <set>

#include "base/ascii_case.h"
#include "data/cls_dbf_data.h"
#include "expected_bookmarks.h"
#include "word/docx/document.h"
#include "word/docx/package.h"
#include "word/docx/xml_util.h"
#include "word/docx/zip_archive.h"

namespace fs = std::filesystem;

namespace word {
namespace {

std::string hexByte(unsigned char c) {
  const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[c >> 4] + digits[c & 15];
}

// The offset of the first byte that breaks UTF-8, or npos.
std::size_t firstNonUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t extra = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return i;
    }
    if (s.size() - i <= extra) return i;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF)) return i;
    }
    i += extra + 1;
  }
  return std::string::npos;
}

// The node after n in document order within root, without recursion.
pugi::xml_node nextInOrder(pugi::xml_node n, pugi::xml_node root) {
  if (n.first_child()) return n.first_child();
  for (; n && n != root; n = n.parent())
    if (n.next_sibling()) return n.next_sibling();
  return {};
}

// "hat das Element E das Attribut A doppelt" for the first element with a repeated attribute,
// walked without recursion; empty when there is none.
std::string repeatedAttribute(const pugi::xml_document& doc) {
  const pugi::xml_node root = doc.document_element();
  std::vector<std::string_view> names;
  for (pugi::xml_node n = root; n; n = nextInOrder(n, root)) {
    names.clear();
    for (pugi::xml_attribute a : n.attributes()) names.emplace_back(a.name());
    std::sort(names.begin(), names.end());
    const auto twice = std::adjacent_find(names.begin(), names.end());
    if (twice != names.end())
      return "hat das Element " + std::string(n.name()) + " das Attribut " + std::string(*twice) +
             " doppelt";
  }
  return {};
}

// The encoding the XML declaration names, or "" without one.
std::string declaredEncoding(const pugi::xml_document& doc) {
  for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling())
    if (n.type() == pugi::node_declaration) return n.attribute("encoding").value();
  return {};
}

std::string xmlPartProblem(const std::string& name, const std::string& bytes) {
  if (const std::size_t at = firstNonUtf8(bytes); at != std::string::npos)
    return "der Teil " + name + " ist kein gültiges UTF-8 (Byte " +
           hexByte(static_cast<unsigned char>(bytes[at])) + " an Position " + std::to_string(at) +
           ")";
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed =
      doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_declaration,
                      pugi::encoding_utf8);
  if (!parsed || !doc.document_element())
    return "der Teil " + name + " ist kein wohlgeformtes XML (" + docx::parseProblem(parsed) +
           " an Position " + std::to_string(parsed.offset) + ")";
  // Filled, a deeper part would be deeper than other readers accept (libxml2: 256 levels).
  if (docx::elementDepth(doc, docx::kMaxElementDepth) > docx::kMaxElementDepth)
    return "der Teil " + name + " ist tiefer als " + std::to_string(docx::kMaxElementDepth) +
           " Ebenen verschachtelt; ausgefüllt könnten andere Programme ihn nicht öffnen";
  const std::string encoding = declaredEncoding(doc);
  if (!encoding.empty() && !base::equalsNoCase(encoding, "UTF-8"))
    return "der Teil " + name + " gibt die Kodierung " + encoding + " an, geschrieben wird UTF-8";
  if (const std::string repeated = repeatedAttribute(doc); !repeated.empty())
    return "im Teil " + name + " " + repeated;
  return {};
}

// The source part of a relationships part ("word/_rels/document.xml.rels" → "word/document.xml").
std::string sourceOf(const std::string& rels) {
  const auto slash = rels.rfind("_rels/");
  const std::string folder = rels.substr(0, slash);
  const std::string file = rels.substr(slash + 6, rels.size() - slash - 6 - 5);
  return folder + file;
}

// Relationship ids a part uses (r:id, r:embed ...) that its relationships part lacks.
std::string danglingReference(const std::string& name, const pugi::xml_document& doc,
                              const std::set<std::string>& ids) {
  const pugi::xml_node root = doc.document_element();
  for (pugi::xml_node n = root; n; n = nextInOrder(n, root)) {
    for (pugi::xml_attribute a : n.attributes()) {
      const std::string_view attr = a.name();
      if ((attr == "r:id" || attr == "r:embed" || attr == "r:link") && !ids.count(a.value()))
        return "der Teil " + name + " verweist mit " + std::string(attr) + "=\"" + a.value() +
               "\" auf eine Beziehung, die fehlt";
    }
  }
  return {};
}

std::string packageProblem(const std::string& bytes, const std::string& label) {
  std::vector<docx::ZipEntry> entries;
  try {
    entries = docx::readZip(bytes, label);
  } catch (const docx::DocxError& e) {
    return std::string("die Datei ist kein lesbares Dokumentpaket (") + e.what() + ")";
  }
  std::set<std::string> names;
  for (const auto& e : entries) names.insert(e.name);
  for (const auto& e : entries) {
    if (!e.name.ends_with(".xml") && !e.name.ends_with(".rels")) continue;
    if (std::string problem = xmlPartProblem(e.name, *e.data); !problem.empty()) return problem;
  }
  try {
    auto package = docx::Package::fromBytes(bytes, label);
    for (const auto& e : entries) {
      if (!e.name.ends_with(".rels")) continue;
      const std::string source = e.name == "_rels/.rels" ? "" : sourceOf(e.name);
      if (!source.empty() && !names.count(source))
        return "der Teil " + e.name + " gehört zu keinem Teil des Pakets";
      for (const std::string& target : package.related(source, ""))
        if (!names.count(target))
          return "der Teil " + e.name + " verweist auf den fehlenden Teil " + target;
    }
    for (const auto& e : entries) {
      if (!e.name.ends_with(".xml")) continue;
      const auto slash = e.name.rfind('/');
      const std::string rels = (slash == std::string::npos ? "" : e.name.substr(0, slash + 1)) +
                               "_rels/" +
                               e.name.substr(slash == std::string::npos ? 0 : slash + 1) + ".rels";
      std::set<std::string> ids;
      if (names.count(rels))
        for (pugi::xml_node r : package.xml(rels).document_element().children("Relationship"))
          ids.insert(r.attribute("Id").value());
      if (std::string problem = danglingReference(e.name, package.xml(e.name), ids);
          !problem.empty())
        return problem;
    }
  } catch (const docx::DocxError& e) {
    return std::string("das Paket ist fehlerhaft (") + e.what() + ")";
  }
  return {};
}

}  // namespace

std::string templateProblem(const fs::path& file, const std::vector<std::string>& bookmarks) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return "die Datei fehlt";
  std::ifstream in(file, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.good() && !in.eof()) return "die Datei kann nicht gelesen werden";
  if (std::string problem = packageProblem(bytes, file.string()); !problem.empty()) return problem;
  try {
    auto doc = docx::Document::fromBytes(bytes, file.string());
    std::string missing;
    for (const auto& name : bookmarks)
      if (!doc.bookmarks().exists(name, docx::BookmarkScope::kAllStories))
        missing += (missing.empty() ? "" : ", ") + name;
    if (!missing.empty()) return "es fehlen die Textmarken " + missing;
    doc.toBytes();
  } catch (const docx::DocxError& e) {
    return std::string("das Dokumentprogramm kann sie nicht verarbeiten (") + e.what() + ")";
  }
  return {};
}

std::vector<std::string> bookmarksOfTemplate(const std::string& key) {
  if (key == "Deckblatt") return forms::coverSheetBookmarks();
  const bool report = key.ends_with("-Report");
  const std::string type = report ? key.substr(0, key.size() - 7) : key;
  // The tables of a sheet type, as the survey database names them.
  const data::clsDBFData catalogue;
  std::string table1, table2;
  const std::string sheetKey = std::string(12, '0') + type;
  if (!catalogue.GetTableName(sheetKey, 1, table1) || !catalogue.GetTableName(sheetKey, 2, table2))
    return {};
  try {
    if (!report) return forms::sheetBookmarks(type, table1, table2);
    auto names = forms::reportHeadAndFooterBookmarks();
    for (auto& n : forms::reportBodyBookmarks(table1, table2)) names.push_back(std::move(n));
    return names;
  } catch (const std::exception&) {
    return {};
  }
}

std::string templateMessage(const fs::path& file, const std::string& cause) {
  return "Die Vorlage " + file.string() + " ist unbrauchbar: " + cause + ".";
}

}  // namespace word
