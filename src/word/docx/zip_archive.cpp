#include "word/docx/zip_archive.h"

#include <libdeflate.h>
#include <zip.h>

#include <cstdint>
#include <limits>
#include <map>
#include <mutex>
#include <vector>

#include "word/docx/docx_error.h"
#include "word/docx/part_deflate.h"

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

namespace {

constexpr std::size_t kSmallPart = 2048;

// One part as the archive holds it.
struct Packed {
  std::uint16_t method = 0;  // 0 stored, 8 deflated
  std::uint32_t crc = 0;
  std::shared_ptr<const std::string> bytes;  // the stored or deflated bytes
};

Packed pack(const std::string& data, Packing packing) {
  Packed p;
  p.crc = libdeflate_crc32(0, data.data(), data.size());
  if (packing == Packing::kStored || data.size() < kSmallPart) {
    // Setting up a deflate stream costs more than the few hundred bytes it would save.
    p.bytes = std::make_shared<const std::string>(data);
    return p;
  }
  p.method = 8;
  p.bytes = std::make_shared<const std::string>(deflatePart(data, packing));
  return p;
}

// The packed form of template parts, by buffer and packing, kept while the buffer lives (an entry
// whose buffer is gone never matches a new buffer at the same address).
class PackedParts {
 public:
  Packed get(const std::shared_ptr<const std::string>& data, Packing packing) {
    {
      std::lock_guard lock(mutex_);
      const auto it = parts_.find({data.get(), packing});
      if (it != parts_.end() && it->second.buffer.lock() == data) return it->second.packed;
    }
    Packed packed = pack(*data, packing);
    std::lock_guard lock(mutex_);
    if (parts_.size() >= kLimit)
      std::erase_if(parts_, [](const auto& entry) { return entry.second.buffer.expired(); });
    if (parts_.size() < kLimit) parts_[{data.get(), packing}] = {data, packed};
    return packed;
  }

 private:
  struct Entry {
    std::weak_ptr<const std::string> buffer;
    Packed packed;
  };
  static constexpr std::size_t kLimit = 4096;
  std::mutex mutex_;
  std::map<std::pair<const std::string*, Packing>, Entry> parts_;
};

PackedParts& packedParts() {
  static PackedParts parts;
  return parts;
}

void put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// 1980-01-01 00:00 in MS-DOS form, the earliest time a zip entry can carry.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;
constexpr std::uint32_t kLargest = 0xFFFFFFFEu;  // beyond it the archive would need Zip64

}  // namespace

std::string writeZip(const std::vector<ZipEntry>& entries, Packing packing) {
  if (entries.size() > 0xFFFF) throw DocxError(ErrorCode::kWriteFailed, "ZIP: zu viele Teile");
  std::vector<Packed> packed;
  packed.reserve(entries.size());
  std::size_t total = 22;
  for (const ZipEntry& entry : entries) {
    if (entry.name.empty() || entry.name.size() > 0xFFFF || entry.data->size() > kLargest)
      throw DocxError(ErrorCode::kWriteFailed,
                      "der Eintrag " + entry.name + " kann nicht hinzugefügt werden");
    packed.push_back(entry.shared ? packedParts().get(entry.data, packing)
                                  : pack(*entry.data, packing));
    total += 30 + 46 + 2 * entry.name.size() + packed.back().bytes->size();
  }
  if (total > kLargest) throw DocxError(ErrorCode::kWriteFailed, "ZIP: das Archiv ist zu groß");
  std::string out;
  out.reserve(total);
  std::string directory;
  // Names are UTF-8 (flag bit 11 when they are not plain ASCII).
  auto flagsOf = [](const std::string& name) -> std::uint16_t {
    for (unsigned char c : name)
      if (c >= 0x80) return 1u << 11;
    return 0;
  };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ZipEntry& e = entries[i];
    const Packed& p = packed[i];
    const auto offset = static_cast<std::uint32_t>(out.size());
    const std::uint16_t version = p.method == 8 ? 20 : 10;
    // The fields the local header and the central directory share, from the version needed to
    // the (empty) extra field.
    const auto putShared = [&](std::string& to) {
      put16(to, version);
      put16(to, flagsOf(e.name));
      put16(to, p.method);
      put16(to, kDosTime);
      put16(to, kDosDate);
      put32(to, p.crc);
      put32(to, static_cast<std::uint32_t>(p.bytes->size()));
      put32(to, static_cast<std::uint32_t>(e.data->size()));
      put16(to, static_cast<std::uint32_t>(e.name.size()));
      put16(to, 0);  // extra field
    };
    put32(out, 0x04034b50);
    putShared(out);
    out += e.name;
    out += *p.bytes;

    put32(directory, 0x02014b50);
    put16(directory, (3u << 8) | version);  // made on Unix
    putShared(directory);
    put16(directory, 0);               // comment
    put16(directory, 0);               // disk
    put16(directory, 0);               // internal attributes
    put32(directory, 0100644u << 16);  // a regular file, rw-r--r--
    put32(directory, offset);
    directory += e.name;
  }
  const auto directoryOffset = static_cast<std::uint32_t>(out.size());
  out += directory;
  put32(out, 0x06054b50);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<std::uint32_t>(entries.size()));
  put16(out, static_cast<std::uint32_t>(entries.size()));
  put32(out, static_cast<std::uint32_t>(directory.size()));
  put32(out, directoryOffset);
  put16(out, 0);
  return out;
}

}  // namespace docx
