#pragma once
// Saving a document atomically (base::replaceFile) with the engine's checks: a target that another
// editor holds open (its lock file lies beside it) or that cannot be written throws
// docx::DocxError kFileOpen; other failures throw kWriteFailed.

#include <filesystem>
#include <string_view>

#include "base/atomic_write.h"

namespace docx {

// Throws kFileOpen when a lock file of LibreOffice (".~lock.NAME#") or Word ("~$NAME", with the
// first one or two characters of the name replaced for longer names) lies beside `target`, or
// when another process holds a record lock on it.
void checkNotOpenElsewhere(const std::filesystem::path& target);

using Durability = base::Durability;

// Whether a save looks for another editor's lock first: kProbed when the caller has just done so
// (checkNotOpenElsewhere) for the same target.
enum class LockProbe { kProbe, kProbed };

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         Durability durability = Durability::kRename,
                         LockProbe probe = LockProbe::kProbe);

}  // namespace docx
