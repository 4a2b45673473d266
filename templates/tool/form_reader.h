#pragma once
// Reads a form source (the small line-based layout language of the templates folder, described
// in templates/README.md) into a Form. Variables ${NAME} are replaced from `variables`;
// includes are read relative to the including file. Bookmarks named "@n" become the name of
// the sheet table's column at position n, and the schema directives expand into rows whose
// bookmarks are the columns of the survey tables. Throws FormError naming file and line.

#include <filesystem>
#include <map>
#include <string>

#include "form_model.h"

namespace forms {

using Variables = std::map<std::string, std::string>;

Form readForm(const std::filesystem::path& file, const Variables& variables);
// The same from text (`origin` names it in error messages; includes are relative to it).
Form readFormText(const std::string& text, const std::filesystem::path& origin,
                  const Variables& variables);

// Inline text of a form line: "[[NAME]]", "[[NAME:placeholder]]", "[[NAME:_40]]" (40
// underscores), "{PAGE}", "{NUMPAGES}", "\n" (line break), "\t" (tab), "**bold**".
std::vector<Inline> parseInlines(const std::string& text);

}  // namespace forms
