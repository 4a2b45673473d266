#pragma once
// The templates of one generation run: each is checked (with its bookmarks) before the first
// document made from it, and the answer is kept for the rest of the run.

#include <map>
#include <string>

namespace word {

class RunTemplates {
 public:
  // "" when documents may be made from the template of key ("GN", "GN-Report", "Deckblatt"),
  // else the message why not, naming the template file.
  const std::string& problem(const std::string& key);

 private:
  std::map<std::string, std::string> problems_;
};

// "Das Dokument NAME wurde nicht erstellt: " + the template's problem.
std::string refusedMessage(const std::string& documentName, const std::string& problem);

}  // namespace word
