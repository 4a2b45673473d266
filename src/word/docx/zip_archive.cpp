#include "word/docx/zip_archive.h"

#include <zip.h>

#include <limits>

#include "word/docx/docx_error.h"

namespace docx {
namespace {

// Limits against archives that expand into absurd sizes (a damaged or hostile package), checked
// on the sizes the archive declares, before anything is unpacked. The largest part of a real
// template or document (the body of a report with long species lists) stays below 2 MB; a part
// of 32 MB would cost gigabytes once parsed, copied per document and written again.
constexpr zip_uint64_t kMaxEntrySize = 32ull << 20;
constexpr zip_uint64_t kMaxTotalSize = 128ull << 20;
constexpr zip_int64_t kMaxEntries = 20000;

struct ArchiveCloser {
  void operator()(zip_t* za) const { zip_discard(za); }
};
struct FileCloser {
  void operator()(zip_file_t* f) const { zip_fclose(f); }
};
struct SourceFree {
  void operator()(zip_source_t* s) const { zip_source_free(s); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveCloser>;
using FilePtr = std::unique_ptr<zip_file_t, FileCloser>;
using SourcePtr = std::unique_ptr<zip_source_t, SourceFree>;

// libzip's reason in German for the damage a package can show; rarer ones keep libzip's text.
std::string germanZipError(zip_error_t* error) {
  switch (zip_error_code_zip(error)) {
    case ZIP_ER_NOZIP:
      return "keine ZIP-Datei";
    case ZIP_ER_INCONS:
      return "das ZIP-Archiv ist in sich widersprüchlich";
    case ZIP_ER_EOF:
      return "unerwartetes Dateiende";
    case ZIP_ER_CRC:
      return "Prüfsummenfehler";
    case ZIP_ER_READ:
      return "Lesefehler";
    case ZIP_ER_WRITE:
      return "Schreibfehler";
    case ZIP_ER_MEMORY:
      return "zu wenig Speicher";
    case ZIP_ER_COMPNOTSUPP:
      return "Kompressionsverfahren nicht unterstützt";
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
      return "verschlüsselter Eintrag";
    case ZIP_ER_ZLIB:
      return "Fehler beim Entpacken";
    case ZIP_ER_MULTIDISK:
      return "mehrteilige ZIP-Archive werden nicht unterstützt";
    default:
      return zip_error_strerror(error);
  }
}

std::string errorText(zip_error_t* error) {
  std::string text = germanZipError(error);
  zip_error_fini(error);
  return text;
}

std::string archiveError(zip_t* za) {
  return germanZipError(zip_get_error(za));
}

}  // namespace

std::vector<ZipEntry> readZip(std::string_view bytes, const std::string& label) {
  zip_error_t error;
  zip_error_init(&error);
  SourcePtr source(zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error));
  if (!source) {
    throw DocxError(ErrorCode::kNotAPackage, label + ": " + errorText(&error));
  }
  ArchivePtr archive(zip_open_from_source(source.get(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
  if (!archive) {
    throw DocxError(ErrorCode::kNotAPackage,
                    label + " ist kein gültiges Dokumentpaket: " + errorText(&error));
  }
  // The archive owns the source from here on.
  (void)source.release();
  zip_error_fini(&error);

  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  if (count < 0 || count > kMaxEntries) {
    throw DocxError(ErrorCode::kNotAPackage, label + ": unplausible Anzahl von Einträgen");
  }
  std::vector<ZipEntry> entries;
  entries.reserve(static_cast<std::size_t>(count));
  zip_uint64_t total = 0;
  for (zip_int64_t i = 0; i < count; ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive.get(), index, 0, &stat) != 0) {
      throw DocxError(ErrorCode::kNotAPackage, label + ": " + archiveError(archive.get()));
    }
    std::string name = stat.name ? stat.name : "";
    if (name.empty() || name.back() == '/') continue;  // folders carry no data
    if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > kMaxEntrySize ||
        total + stat.size > kMaxTotalSize) {
      throw DocxError(ErrorCode::kTooLarge,
                      label + ": der Eintrag " + name + " ist entpackt zu groß (" +
                          std::to_string(stat.size >> 20) + " MB, höchstens " +
                          std::to_string(kMaxEntrySize >> 20) + " MB je Teil und " +
                          std::to_string(kMaxTotalSize >> 20) + " MB insgesamt)");
    }
    total += stat.size;
    FilePtr file(zip_fopen_index(archive.get(), index, 0));
    if (!file) {
      throw DocxError(
          ErrorCode::kNotAPackage,
          label + ": " + name + " kann nicht gelesen werden: " + archiveError(archive.get()));
    }
    auto data = std::make_shared<std::string>(static_cast<std::size_t>(stat.size), '\0');
    zip_uint64_t done = 0;
    while (done < stat.size) {
      const zip_int64_t n = zip_fread(file.get(), data->data() + done, stat.size - done);
      if (n <= 0) {
        throw DocxError(ErrorCode::kNotAPackage,
                        label + ": der Eintrag " + name +
                            " ist beschädigt: " + germanZipError(zip_file_get_error(file.get())));
      }
      done += static_cast<zip_uint64_t>(n);
    }
    char extra;
    if (zip_fread(file.get(), &extra, 1) != 0) {
      throw DocxError(ErrorCode::kNotAPackage,
                      label + ": der Eintrag " + name + " hat eine falsche Größe");
    }
    entries.push_back({std::move(name), std::move(data)});
  }
  return entries;
}

constexpr std::size_t kSmallPart = 2048;

std::string writeZip(const std::vector<ZipEntry>& entries, int level) {
  zip_error_t error;
  zip_error_init(&error);
  SourcePtr buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
  if (!buffer) throw DocxError(ErrorCode::kWriteFailed, "ZIP-Puffer: " + errorText(&error));
  zip_source_keep(buffer.get());  // survives zip_close so the bytes can be read back
  ArchivePtr archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
  if (!archive) {
    zip_source_free(buffer.get());  // drop the extra reference taken above
    throw DocxError(ErrorCode::kWriteFailed, "ZIP-Archiv: " + errorText(&error));
  }
  zip_error_fini(&error);
  for (const ZipEntry& entry : entries) {
    zip_source_t* part =
        zip_source_buffer(archive.get(), entry.data->data(), entry.data->size(), 0);
    if (!part) throw DocxError(ErrorCode::kWriteFailed, archiveError(archive.get()));
    const zip_int64_t index =
        zip_file_add(archive.get(), entry.name.c_str(), part, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
      zip_source_free(part);
      throw DocxError(ErrorCode::kWriteFailed,
                      "der Eintrag " + entry.name +
                          " kann nicht hinzugefügt werden: " + archiveError(archive.get()));
    }
    // Level 0 stores the part as it is. Small parts are stored too: setting up a deflate stream
    // costs more than the few hundred bytes it would save.
    const bool store = level == 0 || entry.data->size() < kSmallPart;
    if (zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index),
                                 store ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                 static_cast<zip_uint32_t>(level)) != 0) {
      throw DocxError(ErrorCode::kWriteFailed, archiveError(archive.get()));
    }
  }
  if (zip_close(archive.get()) != 0) {
    throw DocxError(ErrorCode::kWriteFailed,
                    "Schließen des ZIP-Archivs: " + archiveError(archive.get()));
  }
  (void)archive.release();

  if (zip_source_open(buffer.get()) != 0) {
    throw DocxError(ErrorCode::kWriteFailed, "der ZIP-Puffer kann nicht zurückgelesen werden");
  }
  std::string bytes;
  char chunk[65536];
  zip_int64_t n;
  while ((n = zip_source_read(buffer.get(), chunk, sizeof chunk)) > 0) {
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
  zip_source_close(buffer.get());
  if (n < 0) throw DocxError(ErrorCode::kWriteFailed, "Lesen des ZIP-Puffers fehlgeschlagen");
  return bytes;
}

}  // namespace docx
