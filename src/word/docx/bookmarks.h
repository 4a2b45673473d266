#pragma once
// Bookmark editing across the stories of a document (names compare without regard to case): read,
// replace and extend the text that a bookmark encloses, format it, and find-and-replace inside it.
// The bookmark always stays around the text it encloses, so a value can be written again and
// measured afterwards. Holds references to the package and its stories (owned by the document).
// Every failure throws docx::DocxError before anything is changed.

#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "word/docx/package.h"
#include "word/docx/run_format.h"
#include "word/docx/story.h"

namespace docx {

// Which stories a bookmark name is looked up in.
enum class BookmarkScope {
  kMainText,    // the body only
  kAllStories,  // the body, then headers, then footers
};

class BookmarkEditor {
 public:
  BookmarkEditor(Package& package, const std::vector<Story>& stories);

  bool exists(std::string_view name, BookmarkScope scope);
  // Text inside the bookmark: "\r" between paragraphs, "\n" for line breaks.
  std::string text(std::string_view name, BookmarkScope scope);
  // Length of that text in characters (UTF-16 code units, as word processors count).
  std::size_t length(std::string_view name, BookmarkScope scope);
  // Replaces the enclosed content; "\n" in `text` becomes a line break, "\r" a new paragraph.
  // The new runs take the formatting of the first replaced run (or of the text before the
  // bookmark), overridden by `format`.
  void replace(std::string_view name, std::string_view text, const RunFormat& format,
               BookmarkScope scope);
  // Adds text inside the bookmark in front of (atEnd false) or behind (atEnd true) its content.
  void insert(std::string_view name, std::string_view text, const RunFormat& format,
              BookmarkScope scope, bool atEnd);
  // Applies `format` to every run inside the bookmark.
  void setFont(std::string_view name, const RunFormat& format, BookmarkScope scope);
  // Replaces the first occurrence of `search` inside the bookmark (within one paragraph);
  // answers false when there is none.
  bool replaceFirst(std::string_view name, std::string_view search, std::string_view replacement,
                    BookmarkScope scope);

  // Forgets the name index after structural changes made elsewhere (tables removed ...).
  void invalidate() {
    indexed_ = false;
    lastValid_ = false;
  }

 private:
  struct Located {
    const Story* story = nullptr;
    pugi::xml_node start;
    pugi::xml_node end;
  };
  struct Entry {
    std::size_t story;
    pugi::xml_node start;
  };

  void buildIndex();
  Located locate(std::string_view name, BookmarkScope scope);
  void normalize(Located& b);
  void deleteContent(const Located& b);

  Package& package_;
  const std::vector<Story>& stories_;
  bool indexed_ = false;
  // The bookmark found last, until the next change: a write asks whether its bookmark exists
  // and then writes it.
  bool lastValid_ = false;
  std::string lastName_;
  BookmarkScope lastScope_ = BookmarkScope::kMainText;
  Located last_;
  std::unordered_map<std::string, Entry> starts_;
  std::unordered_map<std::string, pugi::xml_node> ends_;  // key: story index + "/" + id
};

// Inserts `text` (already cleaned) at a point in a paragraph: into `parent` before `before`
// (appended when `before` is empty). "\r" splits the paragraph. Runs get a copy of `rPr` (may be
// empty) with `format` applied.
struct InsertPoint {
  pugi::xml_node parent;
  pugi::xml_node before;
};
InsertPoint insertText(InsertPoint at, std::string_view text, pugi::xml_node rPr,
                       const RunFormat& format);

}  // namespace docx
