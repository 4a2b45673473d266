#include "app/document_manifest.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <string_view>

#include "base/atomic_write.h"
#include "base/regular_file.h"

namespace app {
namespace {

constexpr std::string_view kHeader = "Quelbrix-Dokumentliste 1\n";
constexpr std::string_view kClosing = "Pruefsumme ";
// A list far larger than any output folder's is no list of ours.
constexpr std::size_t kLargest = 256u << 20;

template <typename Number>
bool number(std::string_view text, Number& out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size();
}

// A name the run itself wrote: below the folder, without "." or ".." steps or line breaks.
bool soundRelative(std::string_view path) {
  if (path.empty() || path.front() == '/' || path.find('\n') != std::string_view::npos ||
      path.find('\0') != std::string_view::npos)
    return false;
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view step = path.substr(start, end - start);
    if (step.empty() || step == "." || step == "..") return false;
    start = end + 1;
  }
  return true;
}

std::optional<std::string> readWhole(const std::filesystem::path& file, bool& missing) {
  int error = 0;
  const int fd = base::openRegularFile(file, O_RDONLY, 0, error);
  missing = fd < 0 && error == ENOENT;
  if (fd < 0) return std::nullopt;
  std::string text;
  char buffer[65536];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
    if (n < 0 || text.size() + static_cast<std::size_t>(n) > kLargest) {
      ::close(fd);
      return std::nullopt;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return text;
}

}  // namespace

std::optional<FileStamp> stampOf(const std::filesystem::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileStamp{static_cast<std::uint64_t>(st.st_size), st.st_mtim.tv_sec, st.st_mtim.tv_nsec,
                   static_cast<std::uint64_t>(st.st_ino)};
}

DocumentManifest DocumentManifest::read(const std::filesystem::path& folder) {
  DocumentManifest list;
  bool missing = false;
  const auto text = readWhole(folder / kManifestFileName, missing);
  if (!text) {
    list.state_ = missing ? State::kMissing : State::kDamaged;
    return list;
  }
  auto entries = parse(*text);
  if (!entries) {
    list.state_ = State::kDamaged;
    return list;
  }
  list.entries_ = std::move(*entries);
  list.state_ = State::kRead;
  return list;
}

const DocumentManifest::Entry* DocumentManifest::find(const std::string& relative) const {
  const auto it = entries_.find(relative);
  return it == entries_.end() ? nullptr : &it->second;
}

void DocumentManifest::set(const std::string& relative, const Entry& entry) {
  entries_[relative] = entry;
}

void DocumentManifest::erase(const std::string& relative) {
  entries_.erase(relative);
}

// One line per document: inputs, size, seconds.nanoseconds, inode, path. The last line is the
// digest of everything before it.
std::string DocumentManifest::text() const {
  std::string out(kHeader);
  for (const auto& [path, e] : entries_) {
    out += base::hexDigest(e.inputs) + ' ' + std::to_string(e.file.size) + ' ' +
           std::to_string(e.file.seconds) + '.' + std::to_string(e.file.nanoseconds) + ' ' +
           std::to_string(e.file.inode) + ' ' + path + '\n';
  }
  out += std::string(kClosing) + base::hexDigest(base::digestOf(out)) + '\n';
  return out;
}

std::optional<std::map<std::string, DocumentManifest::Entry>> DocumentManifest::parse(
    const std::string& text) {
  const std::string_view all(text);
  if (!all.starts_with(kHeader) || !all.ends_with("\n")) return std::nullopt;
  const std::size_t closing = all.rfind(std::string("\n") + std::string(kClosing));
  if (closing == std::string_view::npos) return std::nullopt;
  const std::string_view body = all.substr(0, closing + 1);
  const auto stated = base::parseHexDigest(
      all.substr(closing + 1 + kClosing.size(), all.size() - closing - 2 - kClosing.size()));
  if (!stated || *stated != base::digestOf(body)) return std::nullopt;
  std::map<std::string, Entry> entries;
  for (std::size_t at = kHeader.size(); at < body.size();) {
    const std::size_t end = body.find('\n', at);
    const std::string_view line = body.substr(at, end - at);
    at = end + 1;
    std::string_view fields[5];
    std::size_t from = 0;
    for (int i = 0; i < 4; ++i) {
      const std::size_t space = line.find(' ', from);
      if (space == std::string_view::npos) return std::nullopt;
      fields[i] = line.substr(from, space - from);
      from = space + 1;
    }
    fields[4] = line.substr(from);
    Entry e;
    const auto inputs = base::parseHexDigest(fields[0]);
    const std::size_t dot = fields[2].find('.');
    if (!inputs || dot == std::string_view::npos || !number(fields[1], e.file.size) ||
        !number(fields[2].substr(0, dot), e.file.seconds) ||
        !number(fields[2].substr(dot + 1), e.file.nanoseconds) ||
        !number(fields[3], e.file.inode) || !soundRelative(fields[4]))
      return std::nullopt;
    e.inputs = *inputs;
    entries[std::string(fields[4])] = e;
  }
  return entries;
}

std::string DocumentManifest::write(const std::filesystem::path& folder) const {
  const auto failure = base::replaceFile(folder / kManifestFileName, text(), std::nullopt,
                                         base::Durability::kRename);
  if (!failure) return {};
  return folder.string() + "/" + kManifestFileName + ": " + failure.step + ": " +
         base::fileErrorText(failure.error);
}

}  // namespace app
