#include "print/work_folder.h"

#include <cstdlib>

namespace print {
namespace fs = std::filesystem;

bool ensureWorkFolder(const std::string& prefix, fs::path& folder) {
  if (!folder.empty()) return true;
  std::error_code ec;
  std::string pattern = (fs::temp_directory_path(ec) / (prefix + "-XXXXXX")).string();
  if (ec || !mkdtemp(pattern.data())) return false;
  folder = pattern;
  return true;
}

}  // namespace print
