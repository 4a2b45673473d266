#pragma once
// A scratch folder for one test, removed afterwards.

#include <filesystem>
#include <string>

namespace testsupport {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// The whole content of a file as bytes.
std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& content);
// Overwrites the file's bytes from offset at on, growing it where needed: damage for a test.
void patchFile(const std::filesystem::path& file, std::size_t at, const std::string& bytes);

// Every entry of a folder with its type, size, change time and content, one line each in
// name order: equal listings mean the folder was left exactly as it was.
std::string folderListing(const std::filesystem::path& folder);

}  // namespace testsupport
