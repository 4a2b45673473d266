#include "word/docx/package.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

#include "base/ascii_case.h"
#include "base/run_files.h"
#include "word/docx/docx_error.h"
#include "word/docx/opc_names.h"
#include "word/docx/xml_util.h"

namespace docx {
namespace {

constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
struct CachedPackage {
  std::filesystem::file_time_type mtime;
  std::uintmax_t size = 0;
  std::shared_ptr<const std::vector<ZipEntry>> entries;
  std::uint64_t seenInRun = 0;  // base::keptRun() when the file was last looked at
};

// What is known of a part's original bytes, by buffer: a cached template's parts are shared by
// every document made from it, so a check that depends only on the bytes is made once while
// the buffer lives (an entry whose buffer is gone never matches a new buffer at the same address).
class PartFacts {
 public:
  bool contains(const std::shared_ptr<const std::string>& raw, const std::string& fact) {
    std::lock_guard lock(mutex_);
    auto it = parts_.find(raw.get());
    return it != parts_.end() && it->second.buffer.lock() == raw && it->second.facts.count(fact);
  }
  void add(const std::shared_ptr<const std::string>& raw, const std::string& fact) {
    std::lock_guard lock(mutex_);
    if (parts_.size() >= kLimit)
      std::erase_if(parts_, [](const auto& entry) { return entry.second.buffer.expired(); });
    if (parts_.size() >= kLimit) return;
    Entry& e = parts_[raw.get()];
    if (e.buffer.lock() != raw) e = {raw, {}};
    e.facts.insert(fact);
  }

 private:
  struct Entry {
    std::weak_ptr<const std::string> buffer;
    std::set<std::string> facts;
  };
  static constexpr std::size_t kLimit = 4096;
  std::mutex mutex_;
  std::map<const std::string*, Entry> parts_;
};

PartFacts& partFacts() {
  static PartFacts facts;
  return facts;
}

constexpr const char* kShallow = "shallow";

std::mutex g_cacheMutex;
std::map<std::string, CachedPackage> g_cache;
constexpr std::size_t kCacheLimit = 64;

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DocxError(ErrorCode::kReadFailed, path.string() + " kann nicht geöffnet werden");
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad())
    throw DocxError(ErrorCode::kReadFailed, path.string() + " kann nicht gelesen werden");
  return std::move(buffer).str();
}

std::shared_ptr<const std::vector<ZipEntry>> cachedEntries(const std::filesystem::path& path) {
  std::error_code ec;
  // Keyed by the path as written (normalised without asking the file system): resolving links
  // would cost a system call per folder of the path for every document.
  const std::string key = path.lexically_normal().string();
  const std::uint64_t run = base::keptRun();
  if (run != 0) {
    std::lock_guard lock(g_cacheMutex);
    if (const auto it = g_cache.find(key); it != g_cache.end() && it->second.seenInRun == run)
      return it->second.entries;
  }
  const auto mtime = std::filesystem::last_write_time(path, ec);
  if (ec) throw DocxError(ErrorCode::kReadFailed, path.string() + " kann nicht geöffnet werden");
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) throw DocxError(ErrorCode::kReadFailed, path.string() + " kann nicht geöffnet werden");
  {
    std::lock_guard lock(g_cacheMutex);
    auto it = g_cache.find(key);
    if (it != g_cache.end() && it->second.mtime == mtime && it->second.size == size) {
      it->second.seenInRun = run;
      return it->second.entries;
    }
  }
  const std::string bytes = readFile(path);
  auto entries = std::make_shared<const std::vector<ZipEntry>>(readZip(bytes, path.string()));
  std::lock_guard lock(g_cacheMutex);
  if (g_cache.size() >= kCacheLimit) g_cache.clear();
  g_cache[key] = {mtime, bytes.size(), entries, run};
  return entries;
}

// Resolves a relationship target against the folder of its source part.
std::string resolveTarget(const std::string& source, const std::string& target) {
  std::string base;
  if (!target.empty() && target[0] == '/') {
    base = target.substr(1);
  } else {
    const auto slash = source.rfind('/');
    base = (slash == std::string::npos ? std::string() : source.substr(0, slash + 1)) + target;
  }
  std::vector<std::string> segments;
  std::stringstream stream(base);
  std::string segment;
  while (std::getline(stream, segment, '/')) {
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
      continue;
    }
    segments.push_back(segment);
  }
  std::string result;
  for (const auto& s : segments) result += (result.empty() ? "" : "/") + s;
  return result;
}

// Relative path from the folder of `source` to `target` (both part names).
std::string relativeTarget(const std::string& source, const std::string& target) {
  const auto slash = source.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : source.substr(0, slash + 1);
  if (!folder.empty() && target.compare(0, folder.size(), folder) == 0) {
    return target.substr(folder.size());
  }
  return "/" + target;
}

}  // namespace

int elementDepth(const pugi::xml_document& doc, int limit) {
  int depth = 0, deepest = 0;
  pugi::xml_node n = doc.first_child();
  while (n && deepest <= limit) {
    if (n.first_child()) {
      n = n.first_child();
      deepest = std::max(deepest, ++depth);
      continue;
    }
    while (n && !n.next_sibling()) {
      n = n.parent();
      --depth;
    }
    if (n) n = n.next_sibling();
  }
  return deepest;
}

namespace {

struct StringWriter : pugi::xml_writer {
  std::string* out;
  explicit StringWriter(std::string* o) : out(o) {}
  void write(const void* data, size_t size) override {
    out->append(static_cast<const char*>(data), size);
  }
};

}  // namespace

std::string serializeXml(const pugi::xml_document& doc, std::size_t expected) {
  std::string out;
  // Room for a part grown by filling, so that the text is not copied on the way.
  if (expected) out.reserve(expected + expected / 4);
  StringWriter writer(&out);
  doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
  return out;
}

Package Package::open(const std::filesystem::path& path) {
  return Package(*cachedEntries(path), path.string());
}

Package Package::fromBytes(std::string_view bytes, const std::string& label) {
  return Package(readZip(bytes, label), label);
}

void Package::clearCache() {
  std::lock_guard lock(g_cacheMutex);
  g_cache.clear();
}

Package::Package(const std::vector<ZipEntry>& entries, std::string label)
    : label_(std::move(label)) {
  parts_.reserve(entries.size() + 4);
  for (const ZipEntry& entry : entries) {
    index_[entry.name] = parts_.size();
    parts_.push_back({entry.name, entry.data, nullptr, false});
  }
  if (!has(opc::kContentTypesPart)) {
    throw DocxError(ErrorCode::kMissingPart, label_ + ": der Teil [Content_Types].xml fehlt");
  }
}

Package::Part& Package::part(const std::string& name) {
  auto it = index_.find(name);
  if (it == index_.end()) {
    throw DocxError(ErrorCode::kMissingPart, label_ + ": der Teil " + name + " fehlt");
  }
  return parts_[it->second];
}

pugi::xml_document& Package::xml(const std::string& name) {
  Part& p = part(name);
  if (!p.xml) {
    auto doc = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        doc->load_buffer(p.raw->data(), p.raw->size(), kParseOptions, pugi::encoding_auto);
    if (!result || !doc->document_element()) {
      throw DocxError(ErrorCode::kMalformedXml, label_ + ": der Teil " + name +
                                                    " ist kein wohlgeformtes XML (" +
                                                    parseProblem(result) + " bei Byte " +
                                                    std::to_string(result.offset) + ")");
    }
    if (!partFacts().contains(p.raw, kShallow)) {
      if (elementDepth(*doc, kMaxElementDepth) > kMaxElementDepth) {
        throw DocxError(ErrorCode::kMalformedXml, label_ + ": der Teil " + name +
                                                      " schachtelt Elemente tiefer als " +
                                                      std::to_string(kMaxElementDepth) + " Ebenen");
      }
      partFacts().add(p.raw, kShallow);
    }
    // The engine writes every part it changed as UTF-8, whatever the part was read as; its
    // declaration must say so.
    for (pugi::xml_node n = doc->first_child(); n; n = n.next_sibling())
      if (n.type() == pugi::node_declaration && n.attribute("encoding"))
        n.attribute("encoding").set_value("UTF-8");
    p.xml = std::move(doc);
    p.bounded = true;
  }
  return *p.xml;
}

bool Package::originalHas(const std::string& name, const std::string& fact) {
  const Part& p = part(name);
  return !p.modified && p.raw && partFacts().contains(p.raw, fact);
}

void Package::noteOriginal(const std::string& name, const std::string& fact) {
  const Part& p = part(name);
  if (!p.modified && p.raw) partFacts().add(p.raw, fact);
}

void Package::markModified(const std::string& name) {
  Part& p = part(name);
  if (!p.xml) xml(name);
  p.modified = true;
}

void Package::markGrown(const std::string& name) {
  markModified(name);
  part(name).bounded = false;
}

void Package::addXmlPart(const std::string& name, const std::string& type,
                         const std::string& text) {
  auto doc = std::make_unique<pugi::xml_document>();
  if (!doc->load_buffer(text.data(), text.size(), kParseOptions)) {
    throw DocxError(ErrorCode::kMalformedXml, "der interne Teil " + name + " ist fehlerhaft");
  }
  auto it = index_.find(name);
  if (it == index_.end()) {
    index_[name] = parts_.size();
    parts_.push_back({name, std::make_shared<const std::string>(text), std::move(doc), true});
  } else {
    parts_[it->second].xml = std::move(doc);
    parts_[it->second].modified = true;
    parts_[it->second].bounded = false;
  }
  setContentType(name, type);
}

std::string Package::relsPartOf(const std::string& source) {
  if (source.empty()) return "_rels/.rels";
  const auto slash = source.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : source.substr(0, slash + 1);
  const std::string file = slash == std::string::npos ? source : source.substr(slash + 1);
  return folder + "_rels/" + file + ".rels";
}

std::vector<std::string> Package::related(const std::string& source,
                                          const std::string& typeSuffix) {
  std::vector<std::string> result;
  const std::string rels = relsPartOf(source);
  if (!has(rels)) return result;
  for (pugi::xml_node rel : xml(rels).document_element().children("Relationship")) {
    if (!std::string_view(rel.attribute("Type").value()).ends_with(typeSuffix)) continue;
    if (std::string_view(rel.attribute("TargetMode").value()) == "External") continue;
    result.push_back(resolveTarget(source, rel.attribute("Target").value()));
  }
  return result;
}

std::string Package::addRelationship(const std::string& source, const std::string& type,
                                     const std::string& targetPart) {
  const std::string rels = relsPartOf(source);
  if (!has(rels)) {
    addXmlPart(rels, opc::kTypeRelationships,
               std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                           "<Relationships xmlns=\"") +
                   opc::kRelationshipsNs + "\"/>");
  }
  pugi::xml_node root = xml(rels).document_element();
  int highest = 0;
  for (pugi::xml_node rel : root.children("Relationship")) {
    const std::string id = rel.attribute("Id").value();
    if (id.size() > 3 && id.compare(0, 3, "rId") == 0) {
      highest = std::max(highest, std::atoi(id.c_str() + 3));
    }
  }
  const std::string id = "rId" + std::to_string(highest + 1);
  pugi::xml_node rel = root.append_child("Relationship");
  rel.append_attribute("Id") = id.c_str();
  rel.append_attribute("Type") = type.c_str();
  rel.append_attribute("Target") = relativeTarget(source, targetPart).c_str();
  markModified(rels);
  return id;
}

std::string Package::contentType(const std::string& name) {
  pugi::xml_node types = xml(opc::kContentTypesPart).document_element();
  const std::string partName = "/" + name;
  for (pugi::xml_node o : types.children("Override")) {
    if (partName == o.attribute("PartName").value()) return o.attribute("ContentType").value();
  }
  const auto dot = name.rfind('.');
  const std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  for (pugi::xml_node d : types.children("Default")) {
    if (base::equalsNoCase(ext, d.attribute("Extension").value())) {
      return d.attribute("ContentType").value();
    }
  }
  return {};
}

void Package::setContentType(const std::string& name, const std::string& type) {
  if (name == opc::kContentTypesPart || name.ends_with(".rels")) return;  // covered by Default
  pugi::xml_node types = xml(opc::kContentTypesPart).document_element();
  const std::string partName = "/" + name;
  for (pugi::xml_node o : types.children("Override")) {
    if (partName == o.attribute("PartName").value()) {
      if (type != o.attribute("ContentType").value()) {
        o.attribute("ContentType") = type.c_str();
        markModified(opc::kContentTypesPart);
      }
      return;
    }
  }
  pugi::xml_node o = types.append_child("Override");
  o.append_attribute("PartName") = partName.c_str();
  o.append_attribute("ContentType") = type.c_str();
  markModified(opc::kContentTypesPart);
}

std::string Package::serialize(Packing packing) {
  std::vector<ZipEntry> entries;
  entries.reserve(parts_.size());
  // [Content_Types].xml first, as producers conventionally write it.
  auto emit = [&](Part& p) {
    if (p.modified && p.xml) {
      // Filling adds at most kFillDepth levels to a part parsed within kMaxElementDepth; any
      // other part is measured.
      if (!p.bounded && elementDepth(*p.xml, kMaxReadableDepth) > kMaxReadableDepth)
        throw DocxError(ErrorCode::kMalformedXml,
                        label_ + ": der Teil " + p.name + " wäre tiefer als " +
                            std::to_string(kMaxReadableDepth + 1) +
                            " Ebenen verschachtelt, andere Programme könnten ihn nicht öffnen");
      entries.push_back({p.name, std::make_shared<const std::string>(
                                     serializeXml(*p.xml, p.raw ? p.raw->size() : 0))});
    } else {
      entries.push_back({p.name, p.raw, true});
    }
  };
  emit(part(opc::kContentTypesPart));
  for (Part& p : parts_) {
    if (p.name != opc::kContentTypesPart) emit(p);
  }
  return writeZip(entries, packing);
}

}  // namespace docx
