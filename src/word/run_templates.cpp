#include "word/run_templates.h"

#include "word/cls_word_doc.h"

namespace word {

std::string RunTemplates::problem(const std::string& key) {
  std::lock_guard lock(mutex_);
  auto it = problems_.find(key);
  if (it == problems_.end())
    it = problems_.emplace(key, engine_.TemplateProblem(key, programFolder())).first;
  return it->second;
}

std::string refusedMessage(const std::string& documentName, const std::string& problem) {
  return "Das Dokument " + documentName + " wurde nicht erstellt: " + problem;
}

}  // namespace word
