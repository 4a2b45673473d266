#include "app/resource_folder.h"

#include <cstdlib>

#ifndef QUELBRIX_INSTALL_PREFIX
#define QUELBRIX_INSTALL_PREFIX "/usr/local"
#endif

namespace app {
namespace {

std::filesystem::path& overrideFolder() {
  static std::filesystem::path folder;
  return folder;
}

}  // namespace

std::filesystem::path resourceFolder() {
  if (!overrideFolder().empty()) return overrideFolder();
  if (const char* env = std::getenv("QUELBRIX_RESOURCES"); env && *env) return env;
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    std::filesystem::path dir = exe.parent_path();
    if (std::filesystem::is_directory(dir / "Templates", ec) ||
        std::filesystem::is_directory(dir / "data", ec))
      return dir;
  }
  return std::filesystem::path(QUELBRIX_INSTALL_PREFIX) / "share" / "quelbrix";
}

void setResourceFolder(const std::filesystem::path& folder) { overrideFolder() = folder; }

}  // namespace app
