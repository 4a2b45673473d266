#include "word/docx/xml_util.h"

#include <cstdint>

#include "base/utf8.h"

namespace docx {

std::string parseProblem(const pugi::xml_parse_result& result) {
  switch (result.status) {
    case pugi::status_ok:
      return "kein Fehler";
    case pugi::status_out_of_memory:
      return "zu wenig Speicher";
    case pugi::status_unrecognized_tag:
      return "unbekanntes Tag";
    case pugi::status_bad_pi:
      return "fehlerhafte Verarbeitungsanweisung";
    case pugi::status_bad_comment:
      return "fehlerhafter Kommentar";
    case pugi::status_bad_cdata:
      return "fehlerhafter CDATA-Abschnitt";
    case pugi::status_bad_doctype:
      return "fehlerhafte Dokumenttypdeklaration";
    case pugi::status_bad_pcdata:
      return "fehlerhafter Text";
    case pugi::status_bad_start_element:
      return "fehlerhaftes Start-Tag";
    case pugi::status_bad_attribute:
      return "fehlerhaftes Attribut";
    case pugi::status_bad_end_element:
      return "fehlerhaftes End-Tag";
    case pugi::status_end_element_mismatch:
      return "Start- und End-Tag passen nicht zusammen";
    case pugi::status_no_document_element:
      return "kein Wurzelelement";
    default:
      return std::string("Lesefehler (") + result.description() + ")";
  }
}

pugi::xml_node orderedChild(pugi::xml_node parent, const char* name,
                            std::initializer_list<const char*> order) {
  if (pugi::xml_node existing = parent.child(name)) return existing;
  // Compared in place: the names are short and part at their third character, where a call to
  // strcmp would cost more than the comparison; run properties are set this way for every run.
  const auto same = [](const char* a, const char* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
  };
  const char* const* rank = order.begin();
  while (rank != order.end() && !same(*rank, name)) ++rank;
  if (rank == order.end()) return parent.append_child(name);
  // Behind the last child that the schema puts before `name`; children are few, so scanning
  // them from the back against the names in front of `name` is cheap.
  for (pugi::xml_node child = parent.last_child(); child; child = child.previous_sibling()) {
    if (child.type() != pugi::node_element) continue;
    const char* childName = child.name();
    for (const char* const* k = order.begin(); k != rank; ++k) {
      if (same(*k, childName)) return parent.insert_child_after(name, child);
    }
  }
  return parent.prepend_child(name);
}

pugi::xml_node ancestor(pugi::xml_node node, const char* name) {
  for (; node; node = node.parent()) {
    if (is(node, name)) return node;
  }
  return {};
}

std::string cleanText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    std::uint32_t cp = base::decodeUtf8(text, i);
    if (cp == base::kInvalidCodePoint) cp = 0xFFFD;
    if (cp == 0x0B) cp = '\n';
    if (cp < 0x20 && cp != '\t' && cp != '\n' && cp != '\r') continue;
    if (cp == 0xFFFE || cp == 0xFFFF) continue;
    base::appendUtf8(out, cp);
  }
  return out;
}

std::size_t utf16Length(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++n;  // lead byte: one code unit
    if ((c & 0xF8) == 0xF0) ++n;  // four-byte sequence: a surrogate pair
  }
  return n;
}

void appendTextElement(pugi::xml_node run, std::string_view text) {
  pugi::xml_node t = run.append_child("w:t");
  if (!text.empty() && (text.front() == ' ' || text.back() == ' ' || text.front() == '\t')) {
    t.append_attribute("xml:space") = "preserve";
  }
  t.append_child(pugi::node_pcdata).set_value(std::string(text).c_str());
}

bool onOff(pugi::xml_attribute attr, bool absent) {
  if (!attr) return absent;
  const std::string_view v = attr.value();
  return v == "1" || v == "true" || v == "on";
}

}  // namespace docx
