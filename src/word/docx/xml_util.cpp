#include "word/docx/xml_util.h"

#include <cstdint>

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
  const char* const* rank = order.begin();
  while (rank != order.end() && std::strcmp(*rank, name) != 0) ++rank;
  if (rank == order.end()) return parent.append_child(name);
  // Behind the last child that the schema puts before `name`; children are few, so scanning
  // them from the back against the names in front of `name` is cheap.
  for (pugi::xml_node child = parent.last_child(); child; child = child.previous_sibling()) {
    if (child.type() != pugi::node_element) continue;
    for (const char* const* k = order.begin(); k != rank; ++k) {
      if (std::strcmp(*k, child.name()) == 0) return parent.insert_child_after(name, child);
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

namespace {

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one code point at `i`; answers 0xFFFFFFFF for an invalid sequence (one byte consumed).
std::uint32_t decode(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  int extra = 0;
  std::uint32_t cp = 0;
  if (b0 < 0x80) {
    ++i;
    return b0;
  } else if ((b0 & 0xE0) == 0xC0) {
    extra = 1;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3;
    cp = b0 & 0x07;
  } else {
    ++i;
    return 0xFFFFFFFF;
  }
  if (i + static_cast<std::size_t>(extra) >= s.size()) {
    ++i;
    return 0xFFFFFFFF;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFFFFFF;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  static constexpr std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return 0xFFFFFFFF;
  }
  i += static_cast<std::size_t>(extra) + 1;
  return cp;
}

}  // namespace

std::string cleanText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    std::uint32_t cp = decode(text, i);
    if (cp == 0xFFFFFFFF) cp = 0xFFFD;
    if (cp == 0x0B) cp = '\n';
    if (cp < 0x20 && cp != '\t' && cp != '\n' && cp != '\r') continue;
    if (cp == 0xFFFE || cp == 0xFFFF) continue;
    appendUtf8(out, cp);
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
