#pragma once
// Document-wide settings: form protection with a hashed password, the protection type, the
// print-layout view (settings part) and the document language (styles part).
// Operates on parts of a package owned by the caller; failures throw docx::DocxError.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "word/docx/package.h"

namespace docx {

class SettingsEditor {
 public:
  // `mainPart` is the document's main part; settings and styles parts are created when the
  // package lacks them.
  SettingsEditor(Package& package, std::string mainPart);

  // Restricts editing to form fields, enforced, with the salted hash of `password`.
  void protectForms(std::string_view password, std::uint32_t spinCount);
  // -1 none, 0 tracked changes, 1 comments, 2 form fields, 3 read only.
  int protectionType();
  void setPrintLayoutView();
  // Sets the language of the document defaults, of all styles and of all text to `tag`.
  void setLanguage(const char* tag, const std::vector<std::string>& storyParts);

 private:
  std::string settingsPart();
  std::string stylesPart();

  Package& package_;
  std::string main_;
};

}  // namespace docx
