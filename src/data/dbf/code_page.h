#pragma once
// Code pages of dBASE tables: the language driver byte (LDID), ".cpg" texts and the iconv
// conversion between a table's code page and UTF-8.

#include <iconv.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace data::dbf {

// The iconv name for a language driver byte, or "" when the byte names no code page (0 or an
// unknown value).
std::string codePageForLdid(uint8_t ldid);
// The language driver byte that names codePage (any spelling normalizeCodePage accepts); 0 when
// dBASE has none for it (such tables carry a ".cpg" file instead).
uint8_t ldidForCodePage(const std::string& codePage);
// A code page name in the form iconv and the table header use: "1252", "cp1252", "windows-1252"
// all give "CP1252"; "65001" and "utf8" give "UTF-8"; "88591" gives "ISO-8859-1". Other names are
// upper-cased and returned as they are.
std::string normalizeCodePage(std::string_view name);

// The code page of German text without a mark: "CP850" when bytes holds more of the DOS
// letters ä ö ü Ä Ö Ü ß (0x84 0x94 0x81 0x8E 0x99 0x9A 0xE1) than of their Windows forms
// (0xE4 0xF6 0xFC 0xC4 0xD6 0xDC 0xDF), "CP1252" when fewer, "" when it holds neither.
std::string guessCodePage(std::string_view bytes);

// One iconv conversion direction. Owns the iconv handle; not safe for concurrent use.
class Converter {
 public:
  // Throws std::invalid_argument when iconv knows either name not.
  Converter(const std::string& to, const std::string& from);
  ~Converter();
  Converter(Converter&& other) noexcept;
  Converter& operator=(Converter&& other) noexcept;
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts text. With lenient set, bytes the source code page does not define become U+FFFD
  // (only meaningful when the target is UTF-8); otherwise such input gives nullopt.
  std::optional<std::string> convert(std::string_view text, bool lenient) const;

 private:
  iconv_t handle_;
  // Both sides write ASCII as ASCII, so pure ASCII text needs no conversion (the common case).
  bool asciiPassThrough_ = false;
};

}  // namespace data::dbf
