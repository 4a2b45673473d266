#include "support/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace testsupport {

TempDir::TempDir() {
  std::filesystem::path base = std::filesystem::temp_directory_path();
  if (const char* env = std::getenv("QUELBRIX_TEST_TMP"); env && *env) {
    base = env;
    std::filesystem::create_directories(base);
  }
  std::string templ = (base / "qbx-XXXXXX").string();
  if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed in " + base.string());
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::filesystem::path& file, const std::string& content) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << content;
}

void patchFile(const std::filesystem::path& file, std::size_t at, const std::string& bytes) {
  std::string data = readFile(file);
  if (data.size() < at + bytes.size()) data.resize(at + bytes.size());
  writeFile(file, data.replace(at, bytes.size(), bytes));
}

std::string folderListing(const std::filesystem::path& folder) {
  std::ostringstream out;
  std::error_code ec;
  std::vector<std::filesystem::path> entries;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) entries.push_back(e.path());
  std::sort(entries.begin(), entries.end());
  for (const auto& p : entries) {
    const auto status = std::filesystem::symlink_status(p, ec);
    out << p.filename().string() << ' ' << static_cast<int>(status.type());
    if (status.type() == std::filesystem::file_type::symlink) {
      out << " -> " << std::filesystem::read_symlink(p, ec).string();
    } else if (status.type() == std::filesystem::file_type::regular) {
      out << ' ' << std::filesystem::last_write_time(p, ec).time_since_epoch().count() << ' '
          << std::hash<std::string>{}(readFile(p));
    }
    out << '\n';
  }
  return out.str();
}

}  // namespace testsupport
