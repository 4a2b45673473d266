#include "word/docx/protection.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>

#include "base/utf8.h"
#include "word/docx/docx_error.h"

namespace docx {
namespace {

// The password's UTF-16 code units, as the hash takes them; a byte that starts no valid UTF-8
// sequence counts as U+FFFD.
std::u16string toUtf16(std::string_view utf8) {
  std::u16string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::uint32_t cp = base::decodeUtf8(utf8, i);
    if (cp == base::kInvalidCodePoint) cp = 0xFFFD;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

struct MdCtxFree {
  void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

}  // namespace

std::vector<std::uint8_t> hashPassword(std::string_view password,
                                       const std::vector<std::uint8_t>& salt,
                                       std::uint32_t spinCount) {
  std::vector<std::uint8_t> input(salt);
  for (char16_t c : toUtf16(password)) {
    input.push_back(static_cast<std::uint8_t>(c & 0xFF));
    input.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
  // Fetched once: every initialisation with the built-in EVP_sha512() fetches the algorithm
  // again, which costs more than the round itself.
  static EVP_MD* const md = EVP_MD_fetch(nullptr, "SHA512", nullptr);
  if (!ctx || !md) throw DocxError(ErrorCode::kCrypto, "SHA-512 ist nicht verfügbar");
  std::vector<std::uint8_t> hash(64);
  unsigned int length = 0;
  auto digest = [&](const std::uint8_t* a, std::size_t na, const std::uint8_t* b, std::size_t nb) {
    if (EVP_DigestInit_ex(ctx.get(), md, nullptr) != 1 || EVP_DigestUpdate(ctx.get(), a, na) != 1 ||
        (nb && EVP_DigestUpdate(ctx.get(), b, nb) != 1) ||
        EVP_DigestFinal_ex(ctx.get(), hash.data(), &length) != 1) {
      throw DocxError(ErrorCode::kCrypto, "SHA-512 ist fehlgeschlagen");
    }
  };
  digest(input.data(), input.size(), nullptr, 0);
  std::uint8_t round[4];
  std::vector<std::uint8_t> previous(64);
  for (std::uint32_t i = 0; i < spinCount; ++i) {
    previous = hash;
    round[0] = static_cast<std::uint8_t>(i & 0xFF);
    round[1] = static_cast<std::uint8_t>((i >> 8) & 0xFF);
    round[2] = static_cast<std::uint8_t>((i >> 16) & 0xFF);
    round[3] = static_cast<std::uint8_t>((i >> 24) & 0xFF);
    digest(previous.data(), previous.size(), round, sizeof round);
  }
  return hash;
}

std::vector<std::uint8_t> randomBytes(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  if (RAND_bytes(bytes.data(), static_cast<int>(count)) != 1) {
    throw DocxError(ErrorCode::kCrypto, "keine sicheren Zufallszahlen verfügbar");
  }
  return bytes;
}

PasswordHash makePasswordHash(std::string_view password, std::uint32_t spinCount) {
  PasswordHash result;
  result.salt = randomBytes(16);
  result.spinCount = spinCount;
  result.hash = hashPassword(password, result.salt, spinCount);
  return result;
}

std::string randomPassword(std::size_t length) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  constexpr std::size_t kSize = sizeof kAlphabet - 1;  // 62
  std::string out;
  while (out.size() < length) {
    for (std::uint8_t b : randomBytes(length)) {
      // Rejecting the top values keeps every character equally likely.
      if (b < 248 && out.size() < length) out += kAlphabet[b % kSize];
    }
  }
  return out;
}

std::string base64Encode(const std::vector<std::uint8_t>& bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes.data(),
                                static_cast<int>(bytes.size()));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

std::vector<std::uint8_t> base64Decode(std::string_view text) {
  if (text.size() % 4 != 0) throw DocxError(ErrorCode::kInvalidArgument, "ungültiger Base64-Text");
  std::vector<std::uint8_t> out(text.size() / 4 * 3 + 1);
  const int n = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                static_cast<int>(text.size()));
  if (n < 0) throw DocxError(ErrorCode::kInvalidArgument, "ungültiger Base64-Text");
  std::size_t size = static_cast<std::size_t>(n);
  // EVP_DecodeBlock counts padding as data.
  if (!text.empty() && text.back() == '=') --size;
  if (text.size() > 1 && text[text.size() - 2] == '=') --size;
  out.resize(size);
  return out;
}

}  // namespace docx
