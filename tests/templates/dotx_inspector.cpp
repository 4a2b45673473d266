#include "dotx_inspector.h"

#include <iterator>
#include <pugixml.hpp>
#include <stdexcept>

#include "support/temp_dir.h"
#include "word/docx/xml_util.h"
#include "word/docx/zip_archive.h"

namespace testsupport {

namespace {

using docx::is;

int positionAmong(pugi::xml_node node, const char* name) {
  int n = 0;
  for (pugi::xml_node s = node.parent().first_child(); s; s = s.next_sibling()) {
    if (is(s, name)) ++n;
    if (s == node) return n;
  }
  return 0;
}

}  // namespace

DotxPackage DotxPackage::open(const std::filesystem::path& file) {
  if (!std::filesystem::exists(file)) throw std::runtime_error(file.string() + ": missing");
  DotxPackage package;
  for (const auto& entry : docx::readZip(readFile(file), file.string())) {
    package.names_.push_back(entry.name);
    package.parts_[entry.name] = *entry.data;
  }
  for (const auto& name : package.names_)
    if (name.ends_with(".xml") || name.ends_with(".rels")) package.index(name);
  return package;
}

const std::string& DotxPackage::part(const std::string& name) const {
  const auto it = parts_.find(name);
  if (it == parts_.end()) throw std::runtime_error("no part " + name);
  return it->second;
}

void DotxPackage::index(const std::string& partName) {
  pugi::xml_document doc;
  const auto parsed = doc.load_string(parts_.at(partName).c_str());
  if (!parsed) throw std::runtime_error(partName + " is not well-formed: " + parsed.description());
  if (partName == "word/document.xml") {
    for (pugi::xml_node tbl : doc.child("w:document").child("w:body").children("w:tbl")) {
      auto& cellsPerRow = tables_.emplace_back();
      for (pugi::xml_node tr : tbl.children("w:tr")) {
        const auto cells = tr.children("w:tc");
        cellsPerRow.push_back(static_cast<int>(std::distance(cells.begin(), cells.end())));
      }
    }
  }
  for (const pugi::xpath_node& hit : doc.select_nodes("//w:bookmarkStart")) {
    const pugi::xml_node start = hit.node();
    const std::string id = start.attribute("w:id").value();
    const std::string name = start.attribute("w:name").value();
    if (!ids_.insert(id).second) faults_.push_back(partName + ": id " + id + " used twice");
    BookmarkPlace place;
    place.part = partName;
    bool closed = false;
    for (pugi::xml_node s = start.next_sibling(); s; s = s.next_sibling()) {
      if (is(s, "w:bookmarkEnd") && id == s.attribute("w:id").value()) {
        closed = true;
        break;
      }
      for (const pugi::xpath_node& t : s.select_nodes(".//w:t"))
        place.text += t.node().text().get();
      if (is(s, "w:t")) place.text += s.text().get();
    }
    if (!closed)
      faults_.push_back(partName + ": bookmark " + name + " not closed in its paragraph");
    for (pugi::xml_node up = start.parent(); up; up = up.parent()) {
      if (is(up, "w:tc")) place.cell = positionAmong(up, "w:tc");
      if (is(up, "w:tr")) place.row = positionAmong(up, "w:tr");
      if (is(up, "w:tbl") && is(up.parent(), "w:body")) place.table = positionAmong(up, "w:tbl");
    }
    marks_[name].push_back(place);
  }
}

}  // namespace testsupport
