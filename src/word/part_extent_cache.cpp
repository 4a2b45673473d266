#include "word/part_extent_cache.h"

#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <tuple>

#include "app/run_services.h"
#include "base/file_lookup.h"
#include "shape/map_coordinates.h"
#include "shape/map_projection.h"
#include "word/shape_subs.h"

namespace word {
namespace {

// Points whose map coordinates a run keeps (16 bytes each): those of a survey of tens of
// thousands of polygons, whose dense maps would otherwise read and project each neighbour again.
constexpr std::size_t kPointsKept = std::size_t(4) << 20;
std::atomic<std::size_t> pointsKept{kPointsKept};

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

// The file of that extension beside the main file, as the shapefile class finds it.
std::string besidePathOf(const std::string& shpPath, const std::string& extension) {
  const std::filesystem::path found = base::findSiblingNoCase(shpPath, extension);
  return (found.empty() ? base::siblingPath(shpPath, extension) : found).string();
}

struct Identity {
  std::string path;
  FileStamp main, index, prj;
  int32_t count = 0;
  bool operator==(const Identity& o) const {
    return path == o.path && main == o.main && index == o.index && prj == o.prj && count == o.count;
  }
};

struct Cache {
  std::mutex mutex;  // the workers of a run share one map view
  Identity identity;
  std::shared_ptr<const ShapefileMap> map;
  bool told = false;  // the map's coordinate note was said
  long builds = 0;
};

std::shared_ptr<const ShapefileMap> readShapefileMap(const std::string& shpPath,
                                                     shape::CShapeFile& file) {
  shape::CoordinateSystem system = shape::readCoordinateSystem(shpPath);
  const shape::CRect extent(file.Left(), file.Top(), file.Right(), file.Bottom());
  shape::MapPlan plan = shape::planMap(system, extent);
  const shape::MapProjection& projection = shape::MapProjection::forThisThread(plan);
  std::string note = shape::coordinateNote(shpPath, system, plan);
  return std::make_shared<const ShapefileMap>(ShapefileMap{
      std::move(system), std::move(plan), std::move(note),
      PartExtentIndex(file, projection.identity() ? nullptr : &projection, pointsKept)});
}

Cache& cache() {
  static Cache c;
  return c;
}

}  // namespace

std::shared_ptr<const ShapefileMap> shapefileMapFor(const std::string& shpPath,
                                                    shape::CShapeFile& file,
                                                    const app::RunServices& run, bool tell) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(shpPath, ec);
  Identity id{ec ? shpPath : absolute.lexically_normal().string(), stampOf(shpPath),
              stampOf(besidePathOf(shpPath, ".shx")), stampOf(besidePathOf(shpPath, ".prj")),
              file.Count()};
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  if (!c.map || !(c.identity == id)) {
    c.map.reset();
    c.map = readShapefileMap(shpPath, file);
    c.identity = std::move(id);
    c.told = false;
    ++c.builds;
    logDamagedRecords(run.log, c.map->extents);
  }
  if (tell && !c.told && !c.map->note.empty()) {
    // Once per file and run: every map of the run rests on this reading of the coordinates.
    // The message file gets it through mapNotes.
    run.log.Ausgabe(3, "ffhReportSetPolygon: Warnung! " + c.map->note);
    run.ui.message(app::MessageIcon::Information, c.map->note);
    c.told = true;
  }
  return c.map;
}

std::vector<std::string> mapNotes() {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  std::vector<std::string> notes;
  if (!c.map) return notes;
  if (!c.map->note.empty()) notes.push_back(c.map->note);
  for (int32_t j : c.map->extents.damaged())
    notes.push_back("Der Datensatz " + std::to_string(j) + " der Shape-Datei " + c.identity.path +
                    " ist nicht lesbar; die Karten zeigen ihn nicht (" +
                    c.map->extents.record(j).error->germanDescription() + ").");
  return notes;
}

void forgetPartExtents() {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  c.map.reset();
  c.identity = {};
  c.told = false;
}

void setPointsKept(std::size_t points) {
  pointsKept = points;
}

std::size_t defaultPointsKept() {
  return kPointsKept;
}

long partExtentBuilds() {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  return c.builds;
}

}  // namespace word
