#include "base/content_hash.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <stdexcept>

#include "base/regular_file.h"

namespace base {
namespace {

// Fetched once: an implicit fetch on every initialisation costs more than hashing a short row.
const EVP_MD* sha256() {
  static EVP_MD* md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
  if (!md) throw std::runtime_error("SHA-256 ist nicht verfügbar");
  return md;
}

}  // namespace

struct ContentHash::State {
  EVP_MD_CTX* ctx = nullptr;
  bool started = false;
  ~State() { EVP_MD_CTX_free(ctx); }
  void start() {
    if (started) return;
    if (EVP_DigestInit_ex2(ctx, sha256(), nullptr) != 1)
      throw std::runtime_error("SHA-256 kann nicht beginnen");
    started = true;
  }
};

ContentHash::ContentHash() : state_(std::make_unique<State>()) {
  state_->ctx = EVP_MD_CTX_new();
  if (!state_->ctx) throw std::runtime_error("SHA-256: zu wenig Speicher");
}

ContentHash::~ContentHash() = default;

ContentHash& ContentHash::addNumber(std::uint64_t number) {
  unsigned char bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(number >> (8 * i));
  state_->start();
  EVP_DigestUpdate(state_->ctx, bytes, sizeof bytes);
  return *this;
}

ContentHash& ContentHash::add(std::string_view piece) {
  addNumber(piece.size());
  EVP_DigestUpdate(state_->ctx, piece.data(), piece.size());
  return *this;
}

Digest ContentHash::finish() {
  state_->start();
  Digest out{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(state_->ctx, out.data(), &length) != 1 || length != out.size())
    throw std::runtime_error("SHA-256 kann nicht abschließen");
  state_->started = false;
  return out;
}

Digest digestOf(std::string_view bytes) {
  Digest out{};
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), out.data(), &length, sha256(), nullptr) != 1)
    throw std::runtime_error("SHA-256 kann nicht rechnen");
  return out;
}

std::optional<Digest> digestOfFile(const std::filesystem::path& path) {
  int error = 0;
  const int fd = openRegularFile(path, O_RDONLY, 0, error);
  if (fd < 0) return std::nullopt;
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  bool sound = ctx && EVP_DigestInit_ex2(ctx, sha256(), nullptr) == 1;
  char buffer[65536];
  for (ssize_t n; sound && (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      sound = false;
      break;
    }
    EVP_DigestUpdate(ctx, buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  Digest out{};
  unsigned int length = 0;
  if (sound) sound = EVP_DigestFinal_ex(ctx, out.data(), &length) == 1;
  EVP_MD_CTX_free(ctx);
  if (!sound) return std::nullopt;
  return out;
}

std::string hexDigest(const Digest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(64);
  for (unsigned char b : digest) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

std::optional<Digest> parseHexDigest(std::string_view hex) {
  if (hex.size() != 64) return std::nullopt;
  auto value = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  Digest out{};
  for (std::size_t i = 0; i < out.size(); ++i) {
    const int high = value(hex[2 * i]), low = value(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    out[i] = static_cast<unsigned char>(high * 16 + low);
  }
  return out;
}

}  // namespace base
