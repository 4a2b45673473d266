#include "word/docx/document.h"

#include <cstdlib>

#include "word/docx/atomic_file.h"
#include "word/docx/opc_names.h"
#include "word/docx/package.h"
#include "word/docx/protection.h"
#include "word/docx/settings_editor.h"
#include "word/docx/xml_util.h"

namespace docx {
namespace {

// The editors address WordprocessingML through the conventional prefix "w".
void requireWordNamespace(pugi::xml_node root, const std::string& part) {
  if (std::string_view(root.attribute("xmlns:w").value()) != kNsW) {
    throw DocxError(ErrorCode::kMalformedXml,
                    part + " verwendet den WordprocessingML-Namensraum nicht mit dem Präfix w");
  }
}

double pageWidthOf(pugi::xml_node body) {
  pugi::xml_node pgSz = body.child("w:sectPr").child("w:pgSz");
  const double twips = pgSz ? std::atof(pgSz.attribute("w:w").value()) : 0.0;
  return twips > 0 ? twips / 20.0 : 595.3;  // A4 when the template does not say
}

unsigned highestDrawingId(pugi::xml_node node) {
  unsigned highest = 0;
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    if (is(c, "wp:docPr") || is(c, "pic:cNvPr") || is(c, "wps:cNvPr")) {
      highest = std::max(highest, c.attribute("id").as_uint());
    }
    highest = std::max(highest, highestDrawingId(c));
  }
  return highest;
}

}  // namespace

struct Document::Impl {
  Package package;
  std::string mainPart;
  std::vector<Story> stories;
  BookmarkEditor bookmarks;
  TableEditor tables;
  Drawing drawing;
  SettingsEditor settings;

  Impl(Package pkg, std::string main, std::vector<Story> st)
      : package(std::move(pkg)),
        mainPart(std::move(main)),
        stories(std::move(st)),
        bookmarks(package, stories),
        tables(package, stories.front(), bookmarks),
        drawing(pageWidthOf(stories.front().root)),
        settings(package, mainPart) {}

  static std::unique_ptr<Impl> load(Package package) {
    const auto mains = package.related("", opc::kRelMainSuffix);
    if (mains.empty() || !package.has(mains.front())) {
      throw DocxError(ErrorCode::kMissingPart, "das Paket hat keinen Hauptdokumentteil");
    }
    const std::string main = mains.front();
    const std::string type = package.contentType(main);
    if (type == opc::kTypeTemplate) {
      package.setContentType(main, opc::kTypeDocument);
    } else if (type == opc::kTypeMacroTemplate) {
      package.setContentType(main, opc::kTypeMacroDocument);
    } else if (type != opc::kTypeDocument && type != opc::kTypeMacroDocument) {
      throw DocxError(ErrorCode::kMissingPart, "der Hauptteil ist kein Textdokument");
    }
    pugi::xml_node root = package.xml(main).document_element();
    requireWordNamespace(root, main);
    pugi::xml_node body = root.child("w:body");
    if (!is(root, "w:document") || !body) {
      throw DocxError(ErrorCode::kMalformedXml, main + " hat keinen Dokumentkörper");
    }
    std::vector<Story> stories{{main, body, true}};
    for (const char* kind : {opc::kRelHeaderSuffix, opc::kRelFooterSuffix}) {
      for (const std::string& part : package.related(main, kind)) {
        pugi::xml_node r = package.xml(part).document_element();
        requireWordNamespace(r, part);
        stories.push_back({part, r, false});
      }
    }
    return std::make_unique<Impl>(std::move(package), main, std::move(stories));
  }
};

Document::Document(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;
Document::~Document() = default;

Document Document::open(const std::filesystem::path& path) {
  return Document(Impl::load(Package::open(path)));
}

Document Document::fromBytes(std::string_view bytes, const std::string& label) {
  return Document(Impl::load(Package::fromBytes(bytes, label)));
}

BookmarkEditor& Document::bookmarks() {
  return impl_->bookmarks;
}
TableEditor& Document::tables() {
  return impl_->tables;
}
Drawing& Document::drawing() {
  return impl_->drawing;
}

void Document::protectForms(std::string_view password, std::uint32_t spinCount) {
  impl_->settings.protectForms(password, spinCount);
}

std::string Document::protectFormsWithRandomPassword(std::uint32_t spinCount) {
  std::string password = randomPassword(16);
  protectForms(password, spinCount);
  return password;
}

int Document::protectionType() {
  return impl_->settings.protectionType();
}

void Document::setLanguageGerman() {
  std::vector<std::string> parts;
  for (const Story& s : impl_->stories) parts.push_back(s.part);
  impl_->settings.setLanguage("de-DE", parts);
}

void Document::setPrintLayoutView() {
  impl_->settings.setPrintLayoutView();
}

std::string Document::mainContentType() {
  return impl_->package.contentType(impl_->mainPart);
}

std::string Document::toBytes() {
  Impl& d = *impl_;
  // Text is packed as fast as it can be; a drawing's many small numbers pack a fifth smaller
  // with the denser method, which keeps a dense cover map's document small.
  if (d.drawing.shapeCount() == 0) return d.package.serialize(Packing::kFast);
  pugi::xml_node body = d.stories.front().root;
  unsigned highest = 0;
  for (const Story& s : d.stories) highest = std::max(highest, highestDrawingId(s.root));
  const std::vector<pugi::xml_node> added = d.drawing.materialize(body, highest + 1);
  d.package.markGrown(d.mainPart);
  struct Cleanup {
    const std::vector<pugi::xml_node>& nodes;
    ~Cleanup() {
      for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) it->parent().remove_child(*it);
    }
  } cleanup{added};
  return d.package.serialize(Packing::kSmall);
}

void Document::save(const std::filesystem::path& target, Durability durability, LockProbe probe) {
  // writeFileAtomically refuses a target open elsewhere before it writes anything.
  writeFileAtomically(target, toBytes(), durability, probe);
}

}  // namespace docx
