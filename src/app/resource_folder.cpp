#include "app/resource_folder.h"

#include <cstdlib>

namespace app {
namespace {

std::filesystem::path& overrideFolder() {
  static std::filesystem::path folder;
  return folder;
}

std::filesystem::path resourceFolderOf(const std::filesystem::path& executable) {
  const std::filesystem::path dir = executable.parent_path();
  std::error_code ec;
  if (std::filesystem::is_directory(dir / "Templates", ec) ||
      std::filesystem::is_directory(dir / "data", ec))
    return dir;
  return (dir.parent_path() / "share" / "quelbrix").lexically_normal();
}

}  // namespace

std::filesystem::path resourceFolder() {
  if (!overrideFolder().empty()) return overrideFolder();
  if (const char* env = std::getenv("QUELBRIX_RESOURCES"); env && *env) return env;
  // /proc/self/exe names the program file itself, with every symbolic link resolved, so a
  // link to the program elsewhere (e.g. in ~/bin) still finds the installed files. The program
  // file does not move while it runs: looked up once (every document asks).
  static const std::filesystem::path beside = [] {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path("/usr/share/quelbrix") : resourceFolderOf(exe);
  }();
  return beside;
}

void setResourceFolder(const std::filesystem::path& folder) {
  overrideFolder() = folder;
}

}  // namespace app
