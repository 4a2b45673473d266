#pragma once
// Opening files in folders that others can write to (shared output folders): never through a
// planted link and never anything but a regular file, since opening a pipe would wait for good.

#include <sys/types.h>

#include <filesystem>

namespace base {

// The errno-like value for "something other than a regular file is in the way" (a link, a pipe,
// a device); systemErrorText words it.
inline constexpr int kNotRegularFile = -1;

// Opens path with flags (O_CREAT takes mode) when it is a regular file or is created as one.
// Answers the descriptor (close-on-exec, blocking), or -1 with error set to the errno value,
// kNotRegularFile for a link or any other kind of file.
int openRegularFile(const std::filesystem::path& path, int flags, mode_t mode, int& error);

// 0 when nothing or a regular file is at path (a link is not followed); else EISDIR for a
// folder, kNotRegularFile for anything else.
int regularOrAbsent(const std::filesystem::path& path);

}  // namespace base
