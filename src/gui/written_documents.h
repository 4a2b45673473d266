#pragma once
// What a run wrote into the output folder: the documents (.docx) and PDF files that are new or
// were written again since the snapshot taken before the run. Files are compared by their time
// of change and size, so a document the run replaced counts even when its name was there.

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace gui {

class WrittenDocuments {
 public:
  // Notes what folder holds now; a folder that does not exist holds nothing.
  explicit WrittenDocuments(std::filesystem::path folder);
  // The documents written since, relative to the folder, sorted.
  std::vector<std::string> since() const;

  const std::filesystem::path& folder() const { return folder_; }

 private:
  using Stamp = std::pair<std::filesystem::file_time_type, std::uintmax_t>;
  std::map<std::string, Stamp> scan() const;

  std::filesystem::path folder_;
  std::map<std::string, Stamp> before_;
};

}  // namespace gui
