#include "word/part_extent_cache.h"

#include <sys/stat.h>

#include <filesystem>
#include <mutex>
#include <tuple>

#include "base/file_lookup.h"
#include "word/shape_subs.h"

namespace word {
namespace {

struct FileStamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  long mtimeSec = 0, mtimeNsec = 0, ctimeSec = 0, ctimeNsec = 0;

  bool operator==(const FileStamp& o) const {
    return std::tie(exists, device, inode, size, mtimeSec, mtimeNsec, ctimeSec, ctimeNsec) ==
           std::tie(o.exists, o.device, o.inode, o.size, o.mtimeSec, o.mtimeNsec, o.ctimeSec,
                    o.ctimeNsec);
  }
};

FileStamp stampOf(const std::string& path) {
  FileStamp s;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return s;
  s.exists = true;
  s.device = st.st_dev;
  s.inode = st.st_ino;
  s.size = st.st_size;
  s.mtimeSec = st.st_mtim.tv_sec;
  s.mtimeNsec = st.st_mtim.tv_nsec;
  s.ctimeSec = st.st_ctim.tv_sec;
  s.ctimeNsec = st.st_ctim.tv_nsec;
  return s;
}

// The index file beside the main file, as the shapefile class finds it.
std::string indexPathOf(const std::string& shpPath) {
  const std::filesystem::path found = base::findSiblingNoCase(shpPath, ".shx");
  return (found.empty() ? base::siblingPath(shpPath, ".shx") : found).string();
}

struct Identity {
  std::string path;
  FileStamp main, index;
  int32_t count = 0;
  bool operator==(const Identity& o) const {
    return path == o.path && main == o.main && index == o.index && count == o.count;
  }
};

struct Cache {
  std::mutex mutex;  // the workers of a run share one index
  Identity identity;
  std::shared_ptr<const PartExtentIndex> index;
  long builds = 0;
};

Cache& cache() {
  static Cache c;
  return c;
}

}  // namespace

std::shared_ptr<const PartExtentIndex> partExtentsFor(const std::string& shpPath,
                                                      shape::CShapeFile& file, app::clsDebug& log) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(shpPath, ec);
  Identity id{ec ? shpPath : absolute.lexically_normal().string(), stampOf(shpPath),
              stampOf(indexPathOf(shpPath)), file.Count()};
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  if (c.index && c.identity == id) return c.index;
  c.index.reset();
  c.index = std::make_shared<const PartExtentIndex>(file);
  c.identity = std::move(id);
  ++c.builds;
  logDamagedRecords(log, *c.index);
  return c.index;
}

std::vector<std::string> damagedRecordNotes() {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  std::vector<std::string> notes;
  if (!c.index) return notes;
  for (int32_t j : c.index->damaged())
    notes.push_back("Der Datensatz " + std::to_string(j) + " der Shape-Datei " + c.identity.path +
                    " ist nicht lesbar; die Karten zeigen ihn nicht (" +
                    c.index->record(j).error->germanDescription() + ").");
  return notes;
}

void forgetPartExtents() {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  c.index.reset();
  c.identity = {};
}

long partExtentBuilds() {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  return c.builds;
}

}  // namespace word
