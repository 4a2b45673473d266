#include "data/dbf/code_page.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <stdexcept>
#include <utility>

namespace data::dbf {
namespace {

struct LdidEntry {
  uint8_t ldid;
  const char* codePage;
};

// Language driver bytes as dBASE, FoxPro and GIS writers use them. Where several bytes share a
// code page the first one listed is the one the writer uses.
constexpr std::array kLdids{
    LdidEntry{0x01, "CP437"},
    LdidEntry{0x02, "CP850"},
    LdidEntry{0x03, "CP1252"},
    LdidEntry{0x04, "MACINTOSH"},
    LdidEntry{0x64, "CP852"},
    LdidEntry{0x65, "CP866"},
    LdidEntry{0x66, "CP865"},
    LdidEntry{0x67, "CP861"},
    LdidEntry{0x6A, "CP737"},
    LdidEntry{0x6B, "CP857"},
    LdidEntry{0x6C, "CP863"},
    LdidEntry{0x78, "CP950"},
    LdidEntry{0x79, "CP949"},
    LdidEntry{0x7A, "CP936"},
    LdidEntry{0x7B, "CP932"},
    LdidEntry{0x7C, "CP874"},
    LdidEntry{0x7D, "CP1255"},
    LdidEntry{0x7E, "CP1256"},
    LdidEntry{0xC8, "CP1250"},
    LdidEntry{0xC9, "CP1251"},
    LdidEntry{0xCA, "CP1254"},
    LdidEntry{0xCB, "CP1253"},
    LdidEntry{0xCC, "CP1257"},
    // Older and regional drivers.
    LdidEntry{0x08, "CP865"},
    LdidEntry{0x09, "CP437"},
    LdidEntry{0x0A, "CP850"},
    LdidEntry{0x0B, "CP437"},
    LdidEntry{0x0D, "CP437"},
    LdidEntry{0x0E, "CP850"},
    LdidEntry{0x0F, "CP437"},
    LdidEntry{0x10, "CP850"},
    LdidEntry{0x11, "CP437"},
    LdidEntry{0x12, "CP850"},
    LdidEntry{0x13, "CP932"},
    LdidEntry{0x14, "CP850"},
    LdidEntry{0x15, "CP437"},
    LdidEntry{0x16, "CP850"},
    LdidEntry{0x17, "CP865"},
    LdidEntry{0x18, "CP437"},
    LdidEntry{0x19, "CP437"},
    LdidEntry{0x1A, "CP850"},
    LdidEntry{0x1B, "CP437"},
    LdidEntry{0x1C, "CP863"},
    LdidEntry{0x1D, "CP850"},
    LdidEntry{0x1F, "CP852"},
    LdidEntry{0x22, "CP852"},
    LdidEntry{0x23, "CP852"},
    LdidEntry{0x24, "CP860"},
    LdidEntry{0x25, "CP850"},
    LdidEntry{0x26, "CP866"},
    LdidEntry{0x37, "CP850"},
    LdidEntry{0x40, "CP852"},
    LdidEntry{0x4D, "CP936"},
    LdidEntry{0x4E, "CP949"},
    LdidEntry{0x4F, "CP950"},
    LdidEntry{0x50, "CP874"},
    LdidEntry{0x57, "CP1252"},
    LdidEntry{0x58, "CP1252"},
    LdidEntry{0x59, "CP1252"},
    LdidEntry{0x86, "CP737"},
    LdidEntry{0x87, "CP852"},
    LdidEntry{0x88, "CP857"},
    LdidEntry{0x96, "MACCYRILLIC"},
    LdidEntry{0x97, "MACCENTRALEUROPE"},
    LdidEntry{0x98, "MACGREEK"},
};

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool allDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string codePageForLdid(uint8_t ldid) {
  for (const auto& e : kLdids)
    if (e.ldid == ldid) return e.codePage;
  return {};
}

uint8_t ldidForCodePage(const std::string& codePage) {
  const std::string name = normalizeCodePage(codePage);
  for (const auto& e : kLdids)
    if (name == e.codePage) return e.ldid;
  return 0;
}

std::string normalizeCodePage(std::string_view name) {
  while (!name.empty() && std::isspace(static_cast<unsigned char>(name.front())))
    name.remove_prefix(1);
  while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back())))
    name.remove_suffix(1);
  std::string n = upper(name);
  if (n.starts_with("ANSI ")) n = n.substr(5);  // ".cpg" files of some GIS tools
  if (allDigits(n)) {
    if (n == "65001") return "UTF-8";
    if (n.starts_with("8859") && n.size() > 4) return "ISO-8859-" + n.substr(4);
    if (n.starts_with("2859") && n.size() > 4) return "ISO-8859-" + n.substr(4);
    return "CP" + n;
  }
  if (n == "UTF8") return "UTF-8";
  for (const char* prefix : {"WINDOWS-", "IBM", "CP-"}) {
    const std::string p(prefix);
    if (n.starts_with(p) && allDigits(std::string_view(n).substr(p.size())))
      return "CP" + n.substr(p.size());
  }
  if (n.starts_with("ISO8859-")) return "ISO-8859-" + n.substr(8);
  return n;
}

std::string guessCodePage(std::string_view bytes) {
  std::size_t dos = 0, windows = 0;
  for (const char ch : bytes) {
    switch (static_cast<unsigned char>(ch)) {
      case 0x81:
      case 0x84:
      case 0x8E:
      case 0x94:
      case 0x99:
      case 0x9A:
      case 0xE1:
        ++dos;
        break;
      case 0xC4:
      case 0xD6:
      case 0xDC:
      case 0xDF:
      case 0xE4:
      case 0xF6:
      case 0xFC:
        ++windows;
        break;
      default:
        break;
    }
  }
  if (dos == 0 && windows == 0) return {};
  return dos > windows ? "CP850" : "CP1252";
}

Converter::Converter(const std::string& to, const std::string& from)
    : handle_(iconv_open(to.c_str(), from.c_str())) {
  if (handle_ == reinterpret_cast<iconv_t>(-1))
    throw std::invalid_argument("no conversion from " + from + " to " + to);
  std::string probe;
  for (char c = 0x20; c < 0x7F; ++c) probe += c;
  const auto converted = convert(probe, false);
  asciiPassThrough_ = converted && *converted == probe;
}

Converter::~Converter() {
  if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
}

Converter::Converter(Converter&& other) noexcept
    : handle_(std::exchange(other.handle_, reinterpret_cast<iconv_t>(-1))),
      asciiPassThrough_(other.asciiPassThrough_) {}

Converter& Converter::operator=(Converter&& other) noexcept {
  std::swap(handle_, other.handle_);
  std::swap(asciiPassThrough_, other.asciiPassThrough_);
  return *this;
}

std::optional<std::string> Converter::convert(std::string_view text, bool lenient) const {
  if (asciiPassThrough_ &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; }))
    return std::string(text);
  iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // a previous failure may leave state
  std::string out;
  out.reserve(text.size() * 2 + 8);
  char* in = const_cast<char*>(text.data());  // iconv's signature; the input is not written
  size_t inLeft = text.size();
  char buffer[1024];
  for (;;) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t rc = inLeft == 0 ? iconv(handle_, nullptr, nullptr, &outPtr, &outLeft)
                                  : iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (rc != static_cast<size_t>(-1)) {
      if (inLeft == 0) return out;
      continue;
    }
    if (errno == E2BIG) continue;
    if (!lenient) return std::nullopt;
    // An undefined byte or a truncated multi-byte sequence: mark it and go on.
    out.append("\xEF\xBF\xBD");
    if (errno == EINVAL) return out;  // truncated at the end
    ++in;
    --inLeft;
  }
}

}  // namespace data::dbf
