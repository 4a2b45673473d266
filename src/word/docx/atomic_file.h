#pragma once
// Saving a file so that it is either completely the new content or still the old one: the
// bytes go to a temporary file in the target's folder, which is renamed over the target. A target
// that another editor holds open (its lock file lies beside it) or that cannot be written throws
// docx::DocxError kFileOpen; other failures throw kWriteFailed. The temporary file never survives a
// failure.

#include <filesystem>
#include <string_view>

namespace docx {

// Throws kFileOpen when a lock file of LibreOffice (".~lock.NAME#") or Word ("~$NAME", with the
// first one or two characters of the name replaced for longer names) lies beside `target`, or
// when another process holds a record lock on it.
void checkNotOpenElsewhere(const std::filesystem::path& target);

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

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         Durability durability = Durability::kRename);

}  // namespace docx
