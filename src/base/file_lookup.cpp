#include "base/file_lookup.h"

#include <algorithm>

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

fs::path findSiblingNoCase(const fs::path& file, const std::string& ext) {
  return findFileNoCase(file.parent_path(), file.stem().string() + ext);
}

fs::path siblingPath(const fs::path& file, const std::string& ext) {
  const std::string own = file.extension().string();
  const bool capitals =
      std::any_of(own.begin(), own.end(), [](char c) { return c >= 'A' && c <= 'Z'; }) &&
      std::none_of(own.begin(), own.end(), [](char c) { return c >= 'a' && c <= 'z'; });
  std::string wanted = ext;
  if (capitals)
    for (char& c : wanted)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return fs::path(file).replace_extension(wanted);
}

bool hasExtensionNoCase(const fs::path& file, const std::string& ext) {
  const std::string name = file.filename().string();
  const auto dot = name.rfind('.');
  const std::string wanted = ext.starts_with('.') ? ext.substr(1) : ext;
  return dot != std::string::npos && equalsNoCase(name.substr(dot + 1), wanted);
}

}  // namespace base
