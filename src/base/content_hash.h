#pragma once
// SHA-256 digests for telling whether something changed since an earlier run: values fed piece
// by piece (each piece framed by its length, so that "ab" + "c" differs from "a" + "bc"), and
// whole files read without following links. Failures of the library throw std::runtime_error.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace base {

using Digest = std::array<unsigned char, 32>;

// The digest as 64 lower-case hex digits, and back (nullopt for any other text).
std::string hexDigest(const Digest& digest);
std::optional<Digest> parseHexDigest(std::string_view hex);

class ContentHash {
 public:
  ContentHash();
  ~ContentHash();
  ContentHash(const ContentHash&) = delete;
  ContentHash& operator=(const ContentHash&) = delete;

  ContentHash& add(std::string_view piece);
  ContentHash& add(const Digest& digest) {
    return add(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
  }
  ContentHash& addNumber(std::uint64_t number);
  // Ends the digest; the object starts anew for the next one.
  Digest finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The digest of bytes taken whole (not framed).
Digest digestOf(std::string_view bytes);

// The digest of the regular file at path (a link is not followed); nullopt when it cannot be
// read.
std::optional<Digest> digestOfFile(const std::filesystem::path& path);

}  // namespace base
