#pragma once
// The one exception type of the document engine: a stable number the caller can test (for
// example to recognise a target that is open elsewhere) and a German description.

#include <stdexcept>
#include <string>

namespace docx {

enum class ErrorCode : int {
  kNotAPackage = 1,   // the file is not a readable zip package
  kMissingPart = 2,   // a part the document needs is absent
  kMalformedXml = 3,  // a part is not well-formed XML
  kReadFailed = 4,    // the file could not be read
  kBookmarkNotFound = 5,
  kTableOutOfRange = 6,  // table, row or cell number outside the document
  kShapeOutOfRange = 7,  // shape or group number outside the drawing
  kInvalidArgument = 8,
  kFileOpen = 9,      // the target is open in another editor or cannot be written
  kWriteFailed = 10,  // writing the package failed for another reason (disk full, ...)
  kCrypto = 11,       // the random source or the hash failed
  kTooLarge = 12,     // a part exceeds the size limit of the engine
};

class DocxError : public std::runtime_error {
 public:
  DocxError(ErrorCode code, const std::string& description)
      : std::runtime_error(description), code_(code) {}
  ErrorCode code() const noexcept { return code_; }
  int number() const noexcept { return static_cast<int>(code_); }
  std::string description() const { return what(); }

 private:
  ErrorCode code_;
};

}  // namespace docx
