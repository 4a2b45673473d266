// Assembling template packages: a form that loses a bookmark the routines write, or holds one
// twice, stops the build with the name; packages are written whole or not at all.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "dotx_inspector.h"
#include "form_error.h"
#include "support/expect_throw.h"
#include "support/scratch_test.h"
#include "template_set.h"
#include "zip_package.h"

using ::testing::HasSubstr;

namespace {

using templates_build = testsupport::ScratchTest;

namespace fs = std::filesystem;
const fs::path kSources = QUELBRIX_TEMPLATE_SOURCES;

// A copy of the form sources whose file `name` has `from` replaced by `to`.
fs::path editedForms(const testsupport::TempDir& dir, const std::string& name,
                     const std::string& from, const std::string& to) {
  const fs::path forms = dir.path() / "forms";
  fs::copy(kSources / "forms", forms, fs::copy_options::recursive);
  std::string text = testsupport::readFile(forms / name);
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  testsupport::writeFile(forms / name, text);
  return forms;
}

forms::TemplateSpec specFor(const std::string& key) {
  for (const auto& spec : forms::templateSpecs())
    if (spec.key == key) return spec;
  ADD_FAILURE() << "no template " << key;
  return {};
}

std::string buildError(const fs::path& forms, const forms::TemplateSpec& spec) {
  return testsupport::thrownValue<forms::FormError>(
             [&] { forms::buildTemplate(spec, forms, kSources / "package"); },
             &forms::FormError::what)
      .value_or("");
}

TEST_F(templates_build, missing_bookmark_stops_the_build_by_name) {
  const auto forms = editedForms(dir_, "sheet_footer.form", "row:24 [[SONSTIGES]]", "row:24 frei");
  const std::string error = buildError(forms, specFor("GN"));
  EXPECT_THAT(error, HasSubstr("TemplateBogenV2GN.dotx lacks the bookmarks SONSTIGES"));
}

TEST_F(templates_build, header_bookmark_moved_into_the_body_is_refused) {
  auto forms = editedForms(dir_, "sheet.form", "Bogen-Nr. [[POLYGONNR_SEITE]]", "Bogen-Nr.");
  std::ofstream(forms / "sheet_footer.form", std::ios::app) << "text [[POLYGONNR_SEITE]]\n";
  EXPECT_THAT(buildError(forms, specFor("F")), HasSubstr("must lie in the page header or footer"));
}

TEST_F(templates_build, bookmark_twice_is_refused) {
  const auto forms = editedForms(dir_, "deckblatt.form", "title Deckblatt", "title [[HA]]");
  EXPECT_THAT(buildError(forms, specFor("Deckblatt")), HasSubstr("bookmark HA occurs twice"));
}

TEST_F(templates_build, body_fields_follow_the_survey_tables) {
  // The report's structure tables come from the sheet type's tables in the survey schema;
  // naming a table that does not exist is caught, not skipped.
  forms::TemplateSpec spec = specFor("W-Report");
  spec.variables["TABLE2"] = "bgw9";
  EXPECT_THAT(buildError(kSources / "forms", spec), HasSubstr("no table \"bgw9\""));
}

TEST_F(templates_build, package_written_and_readable) {
  const fs::path forms = kSources / "forms";
  const auto parts = forms::buildTemplate(specFor("T"), forms, kSources / "package");
  const fs::path target = dir_.path() / "TemplateBogenV2T.dotx";
  forms::writeZipPackage(target, parts);
  const auto p = testsupport::DotxPackage::open(target);
  EXPECT_EQ(p.partNames().size(), parts.size());
  EXPECT_EQ(p.part("word/document.xml"), parts[8].second);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);
  EXPECT_THAT(p.part("docProps/core.xml"),
              HasSubstr("<dc:title>Geländebogen T (Reinschrift)</dc:title>"));
}

TEST_F(templates_build, unwritable_target_fails_and_keeps_the_old_package) {
  const fs::path target = dir_.path() / "missing" / "x.dotx";
  EXPECT_THROW(forms::writeZipPackage(target, {{"a.xml", "<a/>"}}), forms::FormError);
  EXPECT_FALSE(fs::exists(target));

  // A target that is a folder cannot be replaced: the error says so, nothing is left behind.
  const fs::path folder = dir_.path() / "busy.dotx";
  fs::create_directories(folder / "inside");
  EXPECT_THROW(forms::writeZipPackage(folder, {{"a.xml", "<a/>"}}), forms::FormError);
  EXPECT_TRUE(fs::is_directory(folder / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);
}

}  // namespace
