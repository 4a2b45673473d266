// Joining PDFs with qpdf: pages in order, and a part that cannot be read leaves the target as
// it was.
#include "print/pdf_join.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "support/shell.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::writeFile;

// A PDF of `pages` empty pages, written by hand without a cross-reference table (qpdf rebuilds
// it, as it does for many files other programs write). The pages are 200 points wide and
// height, height + 1 ... high, so that a joined file shows where each page came from.
std::string handMadePdf(int pages, int height) {
  std::string kids, objects;
  for (int i = 0; i < pages; ++i) {
    const std::string id = std::to_string(3 + i);
    kids += id + " 0 R ";
    objects += id + " 0 obj <</Type /Page /Parent 2 0 R /MediaBox [0 0 200 " +
               std::to_string(height + i) + "]>> endobj\n";
  }
  return "%PDF-1.4\n1 0 obj <</Type /Catalog /Pages 2 0 R>> endobj\n2 0 obj <</Type /Pages /Kids "
         "[" +
         kids + "] /Count " + std::to_string(pages) + ">> endobj\n" + objects +
         "trailer <</Root 1 0 R>>\n%%EOF\n";
}

// The heights of the file's pages in order, as pdfinfo reads them.
std::vector<int> pageHeights(const fs::path& file) {
  std::string info;
  testsupport::runCommand("pdfinfo -f 1 -l 999 '" + file.string() + "'", &info);
  std::vector<int> heights;
  std::istringstream lines(info);
  for (std::string line; std::getline(lines, line);) {
    int page = 0;
    double width = 0, height = 0;
    if (std::sscanf(line.c_str(), "Page %d size: %lf x %lf", &page, &width, &height) == 3)
      heights.push_back(static_cast<int>(height));
  }
  return heights;
}

struct JoinCase {
  const char* name;
  std::vector<std::string> parts;  // file contents; "" stands for a part that is not there
  std::vector<int> heights;        // of the joined file's pages; empty: nothing joined
  const char* reason;              // part of the reason when nothing was joined
};

class PdfJoinTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(PdfJoinTest, join_writesAllPagesInOrderOrLeavesTargetAsItWas) {
  const JoinCase& c = GetParam();
  testsupport::TempDir dir;
  std::vector<fs::path> parts;
  for (std::size_t i = 0; i < c.parts.size(); ++i) {
    parts.push_back(dir.path() / ("part" + std::to_string(i) + ".pdf"));
    if (!c.parts[i].empty()) writeFile(parts.back(), c.parts[i]);
  }
  const fs::path target = dir.path() / "joined.pdf";
  writeFile(target, "earlier dossier");
  std::string reason;
  const bool joined = print::joinPdfs(parts, target, reason);
  EXPECT_EQ(joined, !c.heights.empty()) << reason;
  if (joined) {
    EXPECT_EQ(print::pdfPageCount(target, reason), static_cast<int>(c.heights.size())) << reason;
    EXPECT_EQ(pageHeights(target), c.heights);
  } else {
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    EXPECT_EQ(readFile(target), "earlier dossier");
  }
  // No hidden temporary is left behind, whatever the outcome.
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
}

INSTANTIATE_TEST_SUITE_P(
    Parts, PdfJoinTest,
    ::testing::Values(
        JoinCase{"threeParts",
                 {handMadePdf(1, 300), handMadePdf(2, 100), handMadePdf(1, 200)},
                 {300, 100, 101, 200},
                 ""},
        JoinCase{"damagedPart", {handMadePdf(1, 100), "%PDF-1.4 nothing else"}, {}, "part1.pdf"},
        JoinCase{"missingPart", {handMadePdf(1, 100), ""}, {}, "part1.pdf konnte nicht gelesen"},
        JoinCase{"noParts", {}, {}, "keine PDF-Datei"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PdfJoin, join_unwritableFolder_failsNamingTheTarget) {
  testsupport::TempDir dir;
  writeFile(dir.path() / "a.pdf", handMadePdf(1, 100));
  const fs::path target = dir.path() / "missing" / "joined.pdf";
  std::string reason;
  EXPECT_FALSE(print::joinPdfs({dir.path() / "a.pdf"}, target, reason));
  EXPECT_NE(reason.find(target.string() + " konnte nicht geschrieben werden"), std::string::npos)
      << reason;
}

}  // namespace
