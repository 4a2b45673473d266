#pragma once
// One absolute file specification ("/folder/name.ext"), validated when set, split into folder,
// base name and extension. The shapefile class uses it to switch between ".shp" and ".shx".
// Invalid input throws ShapeError 0x80040203 and leaves the stored specification unchanged.

#include <string>

namespace shape {

class CFileName {
 public:
  // Accepted: starts with "/", no "//" and no "..", holds a ".", and none of ? " * | > < :
  // after the first character.
  void SetFileSpec(const std::string& spec);
  const std::string& GetFileSpec() const { return spec_; }

  // The text between the last "/" and the extension's ".". A name without extension (possible
  // only below a dotted folder) is answered whole.
  std::string GetBaseName() const;
  // Replaces the base name; refused when empty or holding / ? " * | > < :, and on an empty
  // specification, which has no folder to put it in.
  void SetBaseName(const std::string& name);
  // The text after the extension's "."; "" when the file name has none.
  std::string GetExtension() const;
  // Replaces the extension (or appends one to a name without); the same character rules as
  // SetBaseName. On the empty specification the result is the extension alone.
  void SetExtension(const std::string& ext);

 private:
  // Position of the "." that starts the extension: the last "." after the last "/".
  std::string::size_type extensionDot() const;

  std::string spec_;
};

}  // namespace shape
