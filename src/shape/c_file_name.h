#pragma once
// One absolute file specification ("/folder/name.ext"), validated when set, split into folder,
// base name and extension. The shapefile class uses it to switch between ".shp" and ".shx".
// Invalid input throws ShapeError 0x80040203 and leaves the stored specification unchanged.

#include <string>

namespace shape {

class CFileName {
 public:
  // Accepted: any absolute path whose file name has a base name and an extension. Folder names
  // may hold any character Linux allows (":" in mounted network shares, "..", "//"); refused
  // are the empty and relative paths, a NUL and a file name without extension.
  void SetFileSpec(const std::string& spec);
  const std::string& GetFileSpec() const { return spec_; }

  // The text between the last "/" and the extension's ".".
  std::string GetBaseName() const;
  // Replaces the base name; refused when empty or holding "/" or a NUL, and on an empty
  // specification, which has no folder to put it in.
  void SetBaseName(const std::string& name);
  // The text after the extension's "."; "" when the file name has none.
  std::string GetExtension() const;
  // Replaces the extension; the same character rules as SetBaseName. On the empty
  // specification the result is the extension alone.
  void SetExtension(const std::string& ext);

 private:
  // Position of the "." that starts the extension: the last "." after the last "/".
  std::string::size_type extensionDot() const;

  std::string spec_;
};

}  // namespace shape
