#pragma once
// The templates of one generation run: each is checked (with its bookmarks) before the first
// document made from it, and the answer is kept for the rest of the run. While the object lives,
// the run keeps the files it reads as it first read them (base::FilesKeptForRun). The workers of
// a run share one object.

#include <map>
#include <mutex>
#include <string>

#include "base/run_files.h"

namespace word {

class clsWordDoc;

class RunTemplates {
 public:
  // engine answers the checks; it must outlive this object.
  explicit RunTemplates(clsWordDoc& engine) : engine_(engine) {}

  // "" when documents may be made from the template of key ("GN", "GN-Report", "Deckblatt"),
  // else the message why not, naming the template file.
  std::string problem(const std::string& key);

 private:
  clsWordDoc& engine_;
  base::FilesKeptForRun kept_;
  std::mutex mutex_;
  std::map<std::string, std::string> problems_;
};

// "Das Dokument NAME wurde nicht erstellt: " + the template's problem.
std::string refusedMessage(const std::string& documentName, const std::string& problem);

}  // namespace word
