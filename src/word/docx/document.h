#pragma once
// One word-processing document opened from a .dotx template or a .docx file: its package with
// the body, headers and footers, and the editors for bookmarks, tables, drawing and settings.
// A template becomes a document on opening. The document owns everything it holds; it is cheap
// to open because templates are cached read-only in unpacked form. Every failure throws
// docx::DocxError; a failed operation leaves the document as it was.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "word/docx/atomic_file.h"
#include "word/docx/bookmarks.h"
#include "word/docx/docx_error.h"
#include "word/docx/drawing.h"
#include "word/docx/run_format.h"
#include "word/docx/tables.h"

namespace docx {

class Document {
 public:
  static Document open(const std::filesystem::path& path);
  static Document fromBytes(std::string_view bytes, const std::string& label);

  Document(Document&&) noexcept;
  Document& operator=(Document&&) noexcept;
  ~Document();

  BookmarkEditor& bookmarks();
  TableEditor& tables();
  Drawing& drawing();

  // Hash rounds for form protection. The protection only guards against accidental edits
  // (anyone can remove it from the XML). Rounds slow down guessing a password a person chose; a
  // word processor's default of 100000 costs tens of milliseconds per document, so the engine
  // spends 100 on such a password. A random password of 16 letters and digits that is forgotten
  // at once (62^16 candidates) cannot be guessed with any number of rounds, so it gets one: the
  // rounds would be a twentieth of a clean copy's time. Word and LibreOffice accept any count.
  static constexpr std::uint32_t kDefaultSpinCount = 100;
  static constexpr std::uint32_t kRandomPasswordSpinCount = 1;

  // Restricts editing to form fields with the hash of `password` (the password is not kept).
  void protectForms(std::string_view password, std::uint32_t spinCount = kDefaultSpinCount);
  // Same with a fresh random password, which is answered once and kept nowhere.
  std::string protectFormsWithRandomPassword(std::uint32_t spinCount = kRandomPasswordSpinCount);
  // -1 none, 0 tracked changes, 1 comments, 2 form fields, 3 read only.
  int protectionType();
  void setLanguageGerman();
  void setPrintLayoutView();

  // Content type of the main part (tells a document from a template).
  std::string mainContentType();
  // The complete package.
  std::string toBytes();
  // Writes the package to `target` atomically (see atomic_file.h); kFileOpen when the target is
  // open elsewhere (unless the caller has just probed it) or cannot be written.
  void save(const std::filesystem::path& target, Durability durability = Durability::kRename,
            LockProbe probe = LockProbe::kProbe);

 private:
  struct Impl;
  explicit Document(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace docx
