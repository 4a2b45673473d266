#include "base/temporary_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace base {
namespace {

constexpr std::string_view kWorkFolderPrefix = "quelbrix-";
constexpr std::size_t kRandomLength = 6;
constexpr std::size_t kMaxNameLength = 255;

bool isAsciiAlnum(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string randomPart() {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char bytes[kRandomLength];
  if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(std::rand());
  std::string part;
  for (unsigned char b : bytes) part += kChars[b % (sizeof kChars - 1)];
  return part;
}

// "<pid>-XXXXXX" at the start of rest: answers the pid and drops the part from rest, or 0.
pid_t takeOwner(std::string_view& rest) {
  pid_t pid = 0;
  const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
  if (ec != std::errc() || pid <= 0 || end == rest.data()) return 0;
  rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
  if (rest.size() < kRandomLength + 1 || rest[0] != '-') return 0;
  for (std::size_t i = 1; i <= kRandomLength; ++i)
    if (!isAsciiAlnum(rest[i])) return 0;
  rest.remove_prefix(kRandomLength + 1);
  return pid;
}

}  // namespace

TemporaryFile::TemporaryFile(const std::filesystem::path& target) : target_(target) {
  const std::filesystem::path folder =
      target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  const std::string owner = std::string(kTemporaryMarker) + std::to_string(getpid()) + "-";
  std::string name = target.filename().string();
  // The target's name only tells a user what the file was for: cut to keep within NAME_MAX.
  const std::size_t room = kMaxNameLength - owner.size() - kRandomLength - 1;
  if (name.size() > room) name.resize(room);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = owner;
    candidate += randomPart();
    candidate += '-';
    candidate += name;
    path_ = folder / candidate;
    // O_EXCL: never a file that is there, not even a link to one. The kernel applies the umask.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ >= 0) return;
    if (errno != EEXIST) break;
  }
  error_ = errno;
  path_.clear();
}

TemporaryFile::~TemporaryFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!path_.empty() && !renamed_) ::unlink(path_.c_str());
}

int TemporaryFile::writeAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

int TemporaryFile::close() {
  const int rc = ::close(fd_);
  fd_ = -1;
  return rc == 0 ? 0 : errno;
}

int TemporaryFile::renameOntoTarget() {
  if (std::rename(path_.c_str(), target_.c_str()) != 0) return errno;
  renamed_ = true;
  return 0;
}

pid_t temporaryFileOwner(std::string_view name) {
  if (!name.starts_with(kTemporaryMarker)) return 0;
  name.remove_prefix(kTemporaryMarker.size());
  const pid_t pid = takeOwner(name);
  return pid > 0 && name.size() > 1 && name[0] == '-' ? pid : 0;
}

bool makeWorkFolder(const std::string& kind, std::filesystem::path& folder) {
  if (!folder.empty()) return true;
  std::error_code ec;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
  if (ec) return false;
  std::string pattern =
      (temp / (std::string(kWorkFolderPrefix) + kind + "-" + std::to_string(getpid()) + "-XXXXXX"))
          .string();
  if (!mkdtemp(pattern.data())) return false;
  folder = pattern;
  return true;
}

pid_t workFolderOwner(std::string_view name) {
  if (!name.starts_with(kWorkFolderPrefix)) return 0;
  name.remove_prefix(kWorkFolderPrefix.size());
  std::size_t kind = 0;
  while (kind < name.size() && name[kind] >= 'a' && name[kind] <= 'z') ++kind;
  if (kind == 0 || kind >= name.size() || name[kind] != '-') return 0;
  name.remove_prefix(kind + 1);
  const pid_t pid = takeOwner(name);
  // mkdtemp's six characters end the name; takeOwner took them and wants nothing after.
  return pid > 0 && name.empty() ? pid : 0;
}

bool processAlive(pid_t pid) {
  return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

}  // namespace base
