#pragma once
// The exit statuses of `quelbrix`, as its manual page lists them. Scripts of the offices test
// them, so their numbers never change.

namespace cli {

// Everything asked for was made completely, or the command did what it was asked.
inline constexpr int kDone = 0;
// Something asked for is missing or incomplete: a document, a print job left in the queue, a
// check that failed, or an error that ended the command (its message names it).
inline constexpr int kNotAllDone = 1;
// A wrong call: an unknown command or option, a missing or bad value.
inline constexpr int kUsageError = 2;
// `check --data`: the folder of the dBASE tables could not be read at all.
inline constexpr int kFolderUnreadable = 2;
// A failure that ends the program: the shapefile's attribute table is unreadable.
inline constexpr int kProgramEnded = 3;

}  // namespace cli
