#pragma once
// Where a document's content comes from, as one digest per document, for making only what
// changed: the survey rows it shows (grouped as data::TableDigest groups them), the catalogue
// tables it looks codes up in (whole), its template, the umlaut table, for a cover sheet the
// shapefile's files, the settings and locale that shape its texts, and the program's version.
// Two runs that compute the same digest for a document make the same document (but for the
// random password of its form protection). Each file is read once per run; a run's workers
// share the object.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/content_hash.h"
#include "data/cls_dbf_data.h"
#include "word/cls_word_doc.h"

namespace app {
class Settings;
}

namespace sheets {

// A part of the survey a document reads: the rows of table (a catalogue name) whose column
// holds value, or whose column starts with value (prefix), or the whole table (no column).
struct SurveyPart {
  std::string table;
  std::string column;
  std::string value;
  bool prefix = false;
};

// What a clean copy (sheet key), a data report (sheet key) and a cover sheet (polygon code)
// read of the survey. Empty when the key's type has no tables.
std::vector<SurveyPart> cleanCopyParts(const std::string& key, const data::clsDBFData& db);
std::vector<SurveyPart> reportParts(const std::string& key, const data::clsDBFData& db);
std::vector<SurveyPart> coverSheetParts(const std::string& polygonCode, const data::clsDBFData& db);

class DocumentInputs {
 public:
  // engine's template table names the templates; both must outlive the object.
  DocumentInputs(const app::Settings& settings, const word::clsWordDoc& engine);

  // Each nullopt when something the document needs cannot be read: the document is then made,
  // and says what it lacks.
  std::optional<base::Digest> cleanCopy(const std::string& key, data::clsDBFData& db);
  std::optional<base::Digest> report(const std::string& key, data::clsDBFData& db);
  std::optional<base::Digest> coverSheet(const std::string& polygonCode, data::clsDBFData& db);

 private:
  // What every document shares and the template of key; false when a file cannot be read.
  bool addCommon(base::ContentHash& h, const std::string& kind, const std::string& templateKey);
  std::optional<base::Digest> digest(const std::string& kind, const std::string& templateKey,
                                     const std::vector<SurveyPart>& parts, data::clsDBFData& db,
                                     bool withShapefile);
  std::optional<base::Digest> fileDigest(const std::string& file);
  std::optional<base::Digest> shapeFiles();
  std::optional<base::Digest> umlautTableDigest();

  const app::Settings& settings_;
  const word::clsWordDoc& engine_;
  std::mutex mutex_;
  std::map<std::string, std::optional<base::Digest>> files_;  // by path, read once
  std::optional<std::optional<base::Digest>> shape_;
  std::optional<std::optional<base::Digest>> umlauts_;
};

}  // namespace sheets
