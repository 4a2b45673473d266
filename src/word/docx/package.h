#pragma once
// An OPC package (the zip container of a .docx/.dotx) held in memory: its parts as raw bytes,
// parsed into pugixml documents only when touched, and written back raw unless modified.
// Opening goes through a read-only cache of packages keyed by path, size and modification
// time, so a template opened thousands of times is read and unpacked once.
// Owns all parts; every failure throws docx::DocxError.

#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <unordered_map>
#include <vector>

#include "word/docx/zip_archive.h"

namespace docx {

class Package {
 public:
  static Package open(const std::filesystem::path& path);
  static Package fromBytes(std::string_view bytes, const std::string& label);

  Package(Package&&) noexcept = default;
  Package& operator=(Package&&) noexcept = default;

  bool has(const std::string& part) const { return index_.count(part) != 0; }
  // The parsed part; parsed on first use. Throws kMissingPart / kMalformedXml.
  pugi::xml_document& xml(const std::string& part);
  // Records that the parsed part has changed and must be serialised on save.
  void markModified(const std::string& part);
  // Records that the part has gained structure other than filling (a drawing), which may nest
  // deeper than kFillDepth below its template: its depth is measured again on save.
  void markGrown(const std::string& part);
  // Facts about a part's bytes as they came from its template, kept while the template is cached
  // (e.g. "no language but de-DE"): answers false once the part is modified. noteOriginal
  // records one for an unmodified part and is ignored for a modified one.
  bool originalHas(const std::string& part, const std::string& fact);
  void noteOriginal(const std::string& part, const std::string& fact);
  // Adds (or replaces) a part from XML text with its content type.
  void addXmlPart(const std::string& part, const std::string& contentType, const std::string& xml);

  // Parts related to `source` by a relationship type ending in `typeSuffix` (e.g. "/header"),
  // resolved to part names, in relationship order. Source "" means the package itself.
  std::vector<std::string> related(const std::string& source, const std::string& typeSuffix);
  // Adds a relationship from `source` to `targetPart` and answers its id.
  std::string addRelationship(const std::string& source, const std::string& type,
                              const std::string& targetPart);

  std::string contentType(const std::string& part);
  void setContentType(const std::string& part, const std::string& type);

  // The whole package as zip bytes; unmodified parts are written from their original bytes.
  std::string serialize(Packing packing);

  // Drops every cached template (tests use it to see fresh reads).
  static void clearCache();

 private:
  struct Part {
    std::string name;
    std::shared_ptr<const std::string> raw;
    std::unique_ptr<pugi::xml_document> xml;
    bool modified = false;
    // Parsed from bytes within kMaxElementDepth and changed only by filling since: its depth
    // stays within kMaxReadableDepth without measuring it again.
    bool bounded = false;
  };
  explicit Package(const std::vector<ZipEntry>& entries, std::string label);
  Part& part(const std::string& name);
  static std::string relsPartOf(const std::string& source);

  std::string label_;
  std::vector<Part> parts_;
  std::unordered_map<std::string, std::size_t> index_;
};

// The depth of the deepest node, counted without recursion; stops counting once past limit. The
// root element counts 0, each element one more than its parent, and an element's text one more
// than the element.
int elementDepth(const pugi::xml_document& doc, int limit);

// Other readers refuse deeper parts: libxml2, and so python-docx, stops at 256 nested elements.
// In elementDepth's count a part of this depth nests no element deeper than that. The engine
// refuses to write a deeper part (kMalformedXml), so that it never saves a document others reject.
inline constexpr int kMaxReadableDepth = 255;
// Levels filling adds below the deepest node of a template: a bookmark's new run, its text
// element and the text, or the run properties copied from the paragraph mark and their values.
inline constexpr int kFillDepth = 4;
// Word-processing parts nest a few dozen elements deep even with tables in tables. A part nested
// deeper than this is refused (kMalformedXml) on parsing: the editors walk the trees recursively,
// and a filled document must stay within kMaxReadableDepth.
inline constexpr int kMaxElementDepth = kMaxReadableDepth - kFillDepth;

// Serialises a parsed part the way the engine writes all parts (raw, UTF-8); expected: the size
// it is likely to have (its size when read), 0 when unknown.
std::string serializeXml(const pugi::xml_document& doc, std::size_t expected = 0);

}  // namespace docx
