#pragma once
// Reads a built template package as the document engine does: the zip's parts in stored order,
// each XML part parsed, and where every bookmark lies (part, enclosed text, body table, row and
// cell). Throws when the zip or a part cannot be read.

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

struct BookmarkPlace {
  std::string part;  // e.g. "word/document.xml"
  std::string text;  // the enclosed placeholder text
  int table = 0;     // 1-based top-level table of the body; 0 outside tables
  int row = 0;       // 1-based
  int cell = 0;      // 1-based
};

class DotxPackage {
 public:
  static DotxPackage open(const std::filesystem::path& file);

  const std::vector<std::string>& partNames() const { return names_; }
  bool has(const std::string& part) const { return parts_.count(part) > 0; }
  const std::string& part(const std::string& name) const;

  // Every bookmark by name; a name with more than one place occurs more than once.
  const std::map<std::string, std::vector<BookmarkPlace>>& bookmarks() const { return marks_; }
  // Ids of bookmark starts without a matching end in the same paragraph, and the like.
  const std::vector<std::string>& bookmarkFaults() const { return faults_; }
  // Cells per row of each top-level table of the body.
  const std::vector<std::vector<int>>& tables() const { return tables_; }

 private:
  void index(const std::string& partName);

  std::vector<std::string> names_;
  std::map<std::string, std::string> parts_;
  std::map<std::string, std::vector<BookmarkPlace>> marks_;
  std::vector<std::string> faults_;
  std::vector<std::vector<int>> tables_;
  std::set<std::string> ids_;  // bookmark ids are unique across all parts of the package
};

}  // namespace testsupport
