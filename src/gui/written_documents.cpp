#include "gui/written_documents.h"

namespace fs = std::filesystem;

namespace gui {

WrittenDocuments::WrittenDocuments(fs::path folder) : folder_(std::move(folder)) {
  before_ = scan();
}

std::map<std::string, WrittenDocuments::Stamp> WrittenDocuments::scan() const {
  std::map<std::string, Stamp> files;
  std::error_code ec;
  // Output folders are often shared: a link planted in one is not followed.
  for (fs::recursive_directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    const std::string extension = path.extension().string();
    if (extension != ".docx" && extension != ".pdf") continue;
    std::error_code stat;
    if (!it->is_regular_file(stat) || it->is_symlink(stat)) continue;
    const auto time = it->last_write_time(stat);
    const auto size = it->file_size(stat);
    if (!stat) files[path.lexically_relative(folder_).string()] = {time, size};
  }
  return files;
}

std::vector<std::string> WrittenDocuments::since() const {
  std::vector<std::string> written;
  for (const auto& [name, stamp] : scan()) {
    const auto old = before_.find(name);
    if (old == before_.end() || old->second != stamp) written.push_back(name);
  }
  return written;
}

}  // namespace gui
