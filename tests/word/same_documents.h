#pragma once
// Compares the documents of two output folders part by part. Only what a save must make new
// is left out: the random salt and hash of the form protection, and the list of documents, which
// holds the files' times.

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>

#include "app/document_manifest.h"
#include "support/temp_dir.h"
#include "word/docx/zip_archive.h"

namespace testsupport {

// "" when both folders hold the same files (relative paths) with the same contents, else the
// first difference. Texts may name their own folder (the message file names documents by path).
inline std::string documentDifference(const std::filesystem::path& a,
                                      const std::filesystem::path& b) {
  namespace fs = std::filesystem;
  auto comparable = [](std::string part) {
    static const std::regex random(R"(w:(hashValue|saltValue)="[^"]*")");
    return std::regex_replace(part, random, "w:$1=\"\"");
  };
  auto files = [](const fs::path& root) {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(root))
      if (e.is_regular_file() && e.path().filename() != "FehlerReport2.log" &&
          e.path().filename() != app::kManifestFileName)
        names.push_back(fs::relative(e.path(), root).string());
    std::sort(names.begin(), names.end());
    return names;
  };
  const auto names = files(a);
  if (names != files(b)) return "the folders hold different files";
  for (const auto& name : names) {
    const std::string left = readFile(a / name), right = readFile(b / name);
    if (fs::path(name).extension() != ".docx") {
      auto inPlace = [](const std::string& text, const fs::path& root) {
        std::string out = text;
        for (std::size_t at = 0; (at = out.find(root.string(), at)) != std::string::npos;)
          out.replace(at, root.string().size(), "<Ausgabeordner>");
        return out;
      };
      if (inPlace(left, a) != inPlace(right, b)) return name + " differs";
      continue;
    }
    const auto leftParts = docx::readZip(left, name), rightParts = docx::readZip(right, name);
    if (leftParts.size() != rightParts.size()) return name + ": different parts";
    for (std::size_t i = 0; i < leftParts.size(); ++i)
      if (leftParts[i].name != rightParts[i].name ||
          comparable(*leftParts[i].data) != comparable(*rightParts[i].data))
        return name + ": " + leftParts[i].name + " differs";
  }
  return "";
}

}  // namespace testsupport
