#pragma once
// Joins PDF files into one, page after page in the order given, with qpdf's library. The
// joined file appears whole or not at all: it is written beside the target under a hidden
// name and renamed, so an earlier file of the same name stays until the new one is complete.

#include <filesystem>
#include <string>
#include <vector>

namespace print {

// Writes the pages of parts, in order, into target. False with a German reason naming the file
// at fault when a part cannot be read or the target cannot be written; target is then
// unchanged.
bool joinPdfs(const std::vector<std::filesystem::path>& parts, const std::filesystem::path& target,
              std::string& reason);

// The number of pages of a PDF file; -1 with a German reason when it cannot be read.
int pdfPageCount(const std::filesystem::path& file, std::string& reason);

}  // namespace print
