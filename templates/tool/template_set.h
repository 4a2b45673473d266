#pragma once
// The 21 document templates: which form source each is made from, with which variables, and
// how one template package is assembled from its form and the shared package parts. Throws
// FormError when a source is missing or wrong, or when a finished template lacks a bookmark
// the generation routines write or holds one twice.

#include <filesystem>
#include <string>
#include <vector>

#include "data/schema/sheet_types.h"
#include "form_reader.h"
#include "zip_package.h"

namespace forms {

struct TemplateSpec {
  data::schema::DocumentTemplate::Kind kind = data::schema::DocumentTemplate::Kind::kSheet;
  std::string key;       // template key, e.g. "GN", "GN-Report", "Deckblatt"
  std::string fileName;  // e.g. "TemplateBogenV2GN.dotx"
  std::string form;      // form source in the forms folder
  std::string type;      // sheet type; empty for the cover sheet
  std::string table1, table2;
  Variables variables;
};

// The templates of the survey schema's template list (ten clean copies, ten reports, the cover
// sheet), each with its sheet type's tables and title.
std::vector<TemplateSpec> templateSpecs();

// The parts of one template package, [Content_Types].xml first.
PackageParts buildTemplate(const TemplateSpec& spec, const std::filesystem::path& formsFolder,
                           const std::filesystem::path& packageFolder);

}  // namespace forms
