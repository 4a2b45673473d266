#pragma once
// Saving a file so that it is either completely the new content or still the old one: the bytes
// go to a temporary file of ours beside the target (base::TemporaryFile), which is renamed over
// it. The temporary file never survives a failure. With the German reasons for failed file
// operations.

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace base {

// How far a save goes to survive a power failure. Both modes survive a crash or kill of the
// program: the target is replaced by rename only when the new file is complete.
enum class Durability {
  // Rename without waiting for the disk. Journalling file systems (ext4, xfs, btrfs) write the
  // data of a file replaced by rename before the rename itself; a few milliseconds per file
  // faster on a real disk, which matters when thousands of documents are written.
  kRename,
  // Flush the file to disk (fsync) before the rename: safe on any file system.
  kFlushThenRename,
};

// Why a save failed: the errno value (or kNotRegularFile) and the step it failed in, in German
// ("Schreiben", "Umbenennen", ...). error 0: the save succeeded.
struct WriteFailure {
  int error = 0;
  const char* step = "";
  explicit operator bool() const { return error != 0; }
};

// Replaces target by bytes. The new file gets the access rights mode, or without one those of a
// new file (0666 less the umask). Anything but a regular file at target (a link, a pipe, a
// folder) is left alone and the save fails.
WriteFailure replaceFile(const std::filesystem::path& target, std::string_view bytes,
                         std::optional<mode_t> mode, Durability durability = Durability::kRename);

// A German reason for a failed save, from its errno value: systemErrorText's, but worded for a
// target that is written ("keine Schreibberechtigung", "der Ordner existiert nicht").
std::string fileErrorText(int error);

}  // namespace base
