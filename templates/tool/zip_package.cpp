#include "zip_package.h"

#include <zip.h>

#include <memory>
#include <system_error>

#include "form_error.h"

namespace forms {

namespace {

struct ZipDiscard {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};

std::string zipMessage(zip_t* archive) {
  return zip_strerror(archive);
}

}  // namespace

void writeZipPackage(const std::filesystem::path& target, const PackageParts& parts) {
  const std::filesystem::path temporary = target.string() + ".part";
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  int error = 0;
  std::unique_ptr<zip_t, ZipDiscard> archive(
      zip_open(temporary.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
  if (!archive) {
    zip_error_t details;
    zip_error_init_with_code(&details, error);
    const std::string message = zip_error_strerror(&details);
    zip_error_fini(&details);
    throw FormError(temporary.string() + ": cannot be created: " + message);
  }
  for (const auto& [name, bytes] : parts) {
    // The buffers outlive zip_close, which reads them.
    zip_source_t* source = zip_source_buffer(archive.get(), bytes.data(), bytes.size(), 0);
    if (!source) throw FormError(name + ": " + zipMessage(archive.get()));
    const zip_int64_t index =
        zip_file_add(archive.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
      zip_source_free(source);
      throw FormError(name + ": " + zipMessage(archive.get()));
    }
    zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9);
    // A fixed time keeps the templates identical from build to build.
    zip_file_set_mtime(archive.get(), static_cast<zip_uint64_t>(index), 315532800, 0);
  }
  zip_t* raw = archive.release();
  if (zip_close(raw) != 0) {
    const std::string message = zipMessage(raw);
    zip_discard(raw);
    std::filesystem::remove(temporary, ignored);
    throw FormError(temporary.string() + ": cannot be written: " + message);
  }
  std::error_code renameError;
  std::filesystem::rename(temporary, target, renameError);
  if (renameError) {
    std::filesystem::remove(temporary, ignored);
    throw FormError(target.string() + ": cannot be replaced");
  }
}

}  // namespace forms
