#pragma once
// Saving a file so that it is either completely the new content or still the old one: the
// bytes go to a temporary file in the target's folder, are flushed to disk and renamed over
// the target. A target that another editor holds open (its lock file lies beside it) or that
// cannot be written throws docx::DocxError kFileOpen; other failures throw kWriteFailed. The
// temporary file never survives a failure.

#include <filesystem>
#include <string_view>

namespace docx {

// Throws kFileOpen when a lock file of LibreOffice (".~lock.NAME#") or Word ("~$NAME", with the
// first one or two characters of the name replaced for longer names) lies beside `target`.
void checkNotOpenElsewhere(const std::filesystem::path& target);

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace docx
