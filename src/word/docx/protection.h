#pragma once
// Password hashing for document protection: the ISO/IEC 29500 scheme (SHA-512 over salt and the
// UTF-16LE password, then `spinCount` rounds over the previous hash and the little-endian round
// number). The password itself is never stored.
// Throws docx::DocxError (kCrypto) when the random source or the hash fails.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace docx {

struct PasswordHash {
  std::string algorithm = "SHA-512";
  std::vector<std::uint8_t> salt;
  std::vector<std::uint8_t> hash;
  std::uint32_t spinCount = 0;
};

// Hash of `password` (UTF-8) with the given salt and spin count.
std::vector<std::uint8_t> hashPassword(std::string_view password,
                                       const std::vector<std::uint8_t>& salt,
                                       std::uint32_t spinCount);

// Hash with a fresh random 16-byte salt.
PasswordHash makePasswordHash(std::string_view password, std::uint32_t spinCount);

// A password of `length` random letters and digits from the system's secure random source.
std::string randomPassword(std::size_t length);

std::vector<std::uint8_t> randomBytes(std::size_t count);
std::string base64Encode(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> base64Decode(std::string_view text);  // throws kInvalidArgument

}  // namespace docx
