#pragma once
// The result of each template's check (its package, and the bookmarks the routines write), made
// once per template file as it stands: a template changed on disk is checked again, by the next
// run (base::keptRun). The program keeps one set of results, shared by the workers of a run.

#include <filesystem>
#include <string>

namespace word {

// Whether a regular file lies at file (a link followed, as opening it does).
bool templateIsFile(const std::filesystem::path& file);

// What is wrong with the template of key at templateFile ("" when nothing); withBookmarks adds
// the bookmarks the routines write into that template to what is checked.
std::string templateProblemOf(const std::string& key, const std::filesystem::path& templateFile,
                              bool withBookmarks);

}  // namespace word
