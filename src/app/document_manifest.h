#pragma once
// The list of documents a generation run leaves in its output folder, for the next run that
// makes only what changed: per document (its path below the folder) the digest of everything
// that went into it and the state its file had when the run left it. Kept in the hidden file
// ".quelbrix-dokumente", read and written whole, only as a regular file (never through a link),
// written through a temporary file and renamed, and ended by a digest of its lines, so that a
// damaged or cut-off list is told from a sound one. The output folder's lock
// (OutputFolderLock) makes the run that holds it the list's only writer.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "base/content_hash.h"

namespace app {

inline constexpr const char* kManifestFileName = ".quelbrix-dokumente";

// A file's state as a run left it: a file saved again (by an editor, a copy, another program)
// has another. Size, modification time to the nanosecond and the file's identity (a save by
// rename gives a new one).
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file at path (a link is not followed); nullopt for anything else.
std::optional<FileStamp> stampOf(const std::filesystem::path& path);

class DocumentManifest {
 public:
  struct Entry {
    base::Digest inputs{};
    FileStamp file;
    bool operator==(const Entry&) const = default;
  };
  enum class State { kRead, kMissing, kDamaged };

  // The list in folder. A file that is missing, no regular file, unreadable or damaged gives an
  // empty list with that state.
  static DocumentManifest read(const std::filesystem::path& folder);

  State state() const { return state_; }
  // Entries by the document's path relative to the output folder ("GN/123456789012GN.docx").
  const Entry* find(const std::string& relative) const;
  void set(const std::string& relative, const Entry& entry);
  void erase(const std::string& relative);
  std::size_t size() const { return entries_.size(); }

  // The list as the file holds it, and back (nullopt when damaged).
  std::string text() const;
  static std::optional<std::map<std::string, Entry>> parse(const std::string& text);
  // Writes the list into folder; "" or the German reason why it could not.
  std::string write(const std::filesystem::path& folder) const;

 private:
  State state_ = State::kMissing;
  std::map<std::string, Entry> entries_;
};

}  // namespace app
