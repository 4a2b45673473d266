#pragma once
// Checks a document template before a run makes its first document from it: the file is there,
// is a readable package whose XML parts are UTF-8, well-formed, without a repeated attribute and
// not absurdly deep, whose relationships lead to parts that exist, which the document engine
// opens, and which holds the bookmarks the generation routines write into it. A template that
// fails would give documents no word processor opens, or documents with values missing.

#include <filesystem>
#include <string>
#include <vector>

namespace word {

// The German cause of the first problem found, or "" for a usable template.
std::string templateProblem(const std::filesystem::path& file,
                            const std::vector<std::string>& bookmarks);

// The bookmarks the routines write into the template of a key ("GN", "GN-Report",
// "Deckblatt"); empty for an unknown key.
std::vector<std::string> bookmarksOfTemplate(const std::string& key);

// "Die Vorlage FILE ist unbrauchbar: CAUSE." as the runs and the check command report it.
std::string templateMessage(const std::filesystem::path& file, const std::string& cause);

}  // namespace word
