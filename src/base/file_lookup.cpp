#include "base/file_lookup.h"

#include "base/ascii_case.h"

namespace fs = std::filesystem;

namespace base {

fs::path findFileNoCase(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  fs::path exact = folder / name;
  if (fs::is_regular_file(exact, ec)) return exact;
  const fs::path searched = folder.empty() ? fs::path(".") : folder;
  for (fs::directory_iterator it(searched, ec), end; !ec && it != end; it.increment(ec)) {
    if (equalsNoCase(it->path().filename().string(), name) && it->is_regular_file(ec))
      return folder / it->path().filename();
  }
  return {};
}

}  // namespace base
