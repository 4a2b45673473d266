#include "shape/c_file_name.h"

#include "shape/shape_error.h"

namespace shape {
namespace {

constexpr const char* kInvalid = "The FileSpec is invalid";

bool validPiece(const std::string& text) {
  return !text.empty() && text.find('/') == std::string::npos &&
         text.find('\0') == std::string::npos;
}

// A file name with a base name before and an extension after its last ".".
bool hasExtension(const std::string& spec) {
  const auto slash = spec.rfind('/');
  const auto dot = spec.rfind('.');
  return dot != std::string::npos && dot > slash + 1 && dot + 1 < spec.size();
}

}  // namespace

void CFileName::SetFileSpec(const std::string& spec) {
  const bool ok =
      !spec.empty() && spec[0] == '/' && spec.find('\0') == std::string::npos && hasExtension(spec);
  if (!ok) throw ShapeError(kErrInvalidFileSpec, "C_FileName::SetFileSpec", kInvalid);
  spec_ = spec;
}

std::string::size_type CFileName::extensionDot() const {
  auto slash = spec_.rfind('/');
  auto dot = spec_.rfind('.');
  if (dot == std::string::npos) return dot;
  if (slash != std::string::npos && dot < slash) return std::string::npos;
  return dot;
}

std::string CFileName::GetBaseName() const {
  auto slash = spec_.rfind('/');
  auto start = slash == std::string::npos ? 0 : slash + 1;
  auto dot = extensionDot();
  auto end = dot == std::string::npos ? spec_.size() : dot;
  return spec_.substr(start, end - start);
}

void CFileName::SetBaseName(const std::string& name) {
  auto slash = spec_.rfind('/');
  if (!validPiece(name) || slash == std::string::npos)
    throw ShapeError(kErrInvalidFileSpec, "C_FileName::SetBaseName", kInvalid);
  auto dot = extensionDot();
  std::string tail = dot == std::string::npos ? std::string() : spec_.substr(dot);
  spec_ = spec_.substr(0, slash + 1) + name + tail;
}

std::string CFileName::GetExtension() const {
  auto dot = extensionDot();
  return dot == std::string::npos ? std::string() : spec_.substr(dot + 1);
}

void CFileName::SetExtension(const std::string& ext) {
  if (!validPiece(ext)) throw ShapeError(kErrInvalidFileSpec, "C_FileName::SetExtension", kInvalid);
  if (spec_.empty()) {
    spec_ = ext;
    return;
  }
  auto dot = extensionDot();
  spec_ = (dot == std::string::npos ? spec_ + "." : spec_.substr(0, dot + 1)) + ext;
}

}  // namespace shape
